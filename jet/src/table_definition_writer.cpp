// New table definitions. Column flags: 0x01 fixed length, 0x02 may be null,
// 0x04 autonumber Long; Jet 4 Text and Memo columns get the
// compressed-Unicode flag Access sets by default.
#include "table_definition_writer.h"

#include <algorithm>

#include "core/utf.h"
#include "jet/error.h"
#include "jet_sql/names.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

constexpr std::uint32_t kJet4Magic = 0x659;
constexpr std::uint8_t kUserTableType = 0x4E;
constexpr std::size_t kMaxColumns = 255;
constexpr std::uint8_t kNumericSize = 17;
constexpr std::uint8_t kMaxPrecision = 28;
constexpr std::uint16_t kEndMark = 0xFFFF;

enum ColumnFlag : std::uint8_t { kFixedFlag = 0x01, kNullableFlag = 0x02, kAutoNumberFlag = 0x04 };

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t fixedLength(ColumnType type) {
  switch (type) {
    case ColumnType::Boolean: return 1;
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Currency: return 8;
    case ColumnType::Single: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return kNumericSize;
    default: return 0;
  }
}

void checkName(const std::string& what, const std::string& name) {
  if (auto problem = sql::objectNameProblem(name)) throw Error("The name of " + what + " is not valid: " + *problem + ".");
}

std::uint8_t columnFlags(const Column& c) {
  return static_cast<std::uint8_t>((c.fixed ? kFixedFlag : 0) | (c.nullable ? kNullableFlag : 0) |
                                   (c.autoNumber ? kAutoNumberFlag : 0));
}

}  // namespace

// A name in the code page of a Jet 3 file, refused when it would not come
// back the same (its characters would become "?").
static std::string inCodePage(const std::string& name, unsigned codePage) {
  std::string bytes = platform::toCodePage(codePage, name);
  if (platform::fromCodePage(codePage, bytes) != name)
    throw Error("The name \"" + name + "\" has characters that code page " + std::to_string(codePage) +
                " of this Access 95/97 database cannot hold.");
  return bytes;
}

void appendName(const Format& format, std::vector<std::uint8_t>& out, const std::string& name, unsigned codePage) {
  if (format.unicodeNames) {
    const std::u16string units = utf8ToUtf16(name);
    out.push_back(static_cast<std::uint8_t>(units.size() * 2));
    out.push_back(static_cast<std::uint8_t>((units.size() * 2) >> 8));
    for (char16_t u : units) {
      out.push_back(static_cast<std::uint8_t>(u));
      out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
  } else {
    const std::string bytes = inCodePage(name, codePage);
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
}


TableDefinition layOutNewTable(const Format& format, const std::string& table, const std::vector<NewColumn>& columns) {
  checkName("the table \"" + table + "\"", table);
  if (columns.empty() || columns.size() > kMaxColumns)
    throw Error("The table \"" + table + "\" must have 1 to 255 columns, not " + std::to_string(columns.size()) + ".");
  TableDefinition def;
  def.name = table;
  std::uint16_t fixedOffset = 0, variableIndex = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const NewColumn& n = columns[i];
    const std::string where = "column \"" + n.name + "\" of table \"" + table + "\"";
    checkName("the " + where, n.name);
    for (std::size_t j = 0; j < i; ++j)
      if (sql::sameObjectName(columns[j].name, n.name))
        throw Error("The table \"" + table + "\" has two columns named \"" + n.name + "\".");
    Column c;
    c.name = n.name;
    c.type = n.type;
    c.typeCode = static_cast<std::uint8_t>(n.type);
    c.number = static_cast<std::uint16_t>(i);
    c.nullable = !n.required;
    c.sortOrder = 0x0409;
    if (n.autoNumber && n.type != ColumnType::Long)
      throw Error("The " + where + " cannot be an autonumber: only Long Integer columns can.");
    c.autoNumber = n.autoNumber;
    if (n.type == ColumnType::Text || n.type == ColumnType::Binary) {
      if (n.length < 1 || n.length > 255)
        throw Error("The " + where + " must hold 1 to 255 " + (n.type == ColumnType::Text ? "characters." : "bytes."));
      c.textLength = n.type == ColumnType::Text ? n.length : 0;
      c.length = static_cast<std::uint16_t>(n.type == ColumnType::Text ? n.length * format.textBytesPerChar : n.length);
      c.compressedUnicode = n.type == ColumnType::Text && format.version == 4;
      c.varIndex = variableIndex++;
    } else if (n.type == ColumnType::Memo || n.type == ColumnType::Ole) {
      c.length = 0;
      c.compressedUnicode = n.type == ColumnType::Memo && format.version == 4;
      c.varIndex = variableIndex++;
    } else if (fixedLength(n.type)) {
      if (n.type == ColumnType::Numeric) {
        if (format.version < 4) throw Error("The " + where + " cannot be Decimal: Jet 3 files have no Decimal type.");
        if (n.precision < 1 || n.precision > kMaxPrecision || n.scale > n.precision)
          throw Error("The " + where + " needs a precision of 1 to 28 and a scale from 0 to the precision, not (" +
                      std::to_string(n.precision) + ", " + std::to_string(n.scale) + ").");
        c.precision = n.precision;
        c.scale = n.scale;
      }
      c.fixed = true;
      c.length = fixedLength(n.type);
      c.fixedOffset = fixedOffset;
      c.varIndex = variableIndex;  // Jet stores the count of variable columns before it
      if (n.type != ColumnType::Boolean) fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
    } else {
      throw Error("The " + where + " has type " + columnTypeName(n.type) + ", which Jet tables cannot hold.");
    }
    def.columns.push_back(c);
  }
  def.maxColumns = static_cast<std::uint16_t>(columns.size());
  def.variableColumns = variableIndex;
  return def;
}

std::vector<std::uint8_t> encodeTableDefinition(const Format& format, const TableDefinition& def,
                                                std::uint16_t codePage) {
  // The table's name is kept in MSysObjects, not here, but in the same code page.
  if (!format.unicodeNames) inCodePage(def.name, codePage);
  const bool jet4 = format.version == 4;
  std::vector<std::uint8_t> out(format.tdefBlockEnd, 0);
  out[0] = kTableDefinitionPage;
  out[1] = 0x01;
  if (jet4) {
    put32(out, 0x0C, kJet4Magic);
    out[0x18] = 0x01;
  } else {
    out[2] = 'V';
    out[3] = 'C';
  }
  put32(out, format.tdefRowCountOffset, def.rowCount);
  put32(out, format.tdefAutoNumberOffset, def.nextAutoNumber);
  out[format.tdefTableTypeOffset] = kUserTableType;
  put16(out, format.tdefMaxColumnsOffset, def.maxColumns);
  put16(out, format.tdefVarColumnsOffset, def.variableColumns);
  put16(out, format.tdefColumnCountOffset, static_cast<std::uint16_t>(def.columns.size()));
  put32(out, format.tdefUsageMapOffset, def.usageMapPointer);
  put32(out, format.tdefFreeMapOffset, def.freeSpaceMapPointer);
  for (const Column& c : def.columns) {
    const std::size_t at = out.size();
    out.resize(at + format.columnEntrySize, 0);
    const bool numeric = c.type == ColumnType::Numeric;
    out[at] = c.typeCode;
    if (jet4) {
      put32(out, at + 1, kJet4Magic);
      put16(out, at + 5, c.number);
      put16(out, at + 7, c.varIndex);
      put16(out, at + 9, c.number);
      if (numeric) {
        out[at + format.columnPrecisionOffset] = c.precision;
        out[at + format.columnScaleOffset] = c.scale;
      } else {
        put16(out, at + 11, c.sortOrder);
      }
      out[at + format.columnFlagsOffset] = columnFlags(c);
      out[at + format.columnExtraFlagsOffset] = c.compressedUnicode ? 0x01 : 0x00;
      put16(out, at + 21, c.fixed ? c.fixedOffset : 0);
      put16(out, at + 23, c.length);
    } else {
      put16(out, at + 1, c.number);
      put16(out, at + 3, c.varIndex);
      put16(out, at + 5, c.number);
      put16(out, at + 7, 1);
      put16(out, at + 9, c.sortOrder);
      put16(out, at + 11, codePage);
      out[at + format.columnFlagsOffset] = columnFlags(c);
      put16(out, at + 14, c.fixed ? c.fixedOffset : 0);
      put16(out, at + 16, c.length);
    }
  }
  for (const Column& c : def.columns) appendName(format, out, c.name, codePage);
  for (const ColumnUsageMaps& maps : def.columnUsageMaps) {
    const std::size_t at = out.size();
    out.resize(at + 10);
    put16(out, at, maps.columnNumber);
    put32(out, at + 2, maps.usedMapPointer);
    put32(out, at + 6, maps.freeMapPointer);
  }
  out.push_back(static_cast<std::uint8_t>(kEndMark));
  out.push_back(static_cast<std::uint8_t>(kEndMark >> 8));
  put32(out, 0x08, static_cast<std::uint32_t>(out.size()));
  return out;
}

std::size_t definitionPageCount(const Format& format, std::size_t definitionBytes) {
  if (definitionBytes <= format.pageSize) return 1;
  const std::size_t perContinuation = format.pageSize - format.tdefContinuationHeader;
  return 1 + (definitionBytes - format.pageSize + perContinuation - 1) / perContinuation;
}

std::vector<std::vector<std::uint8_t>> definitionPages(const Format& format, const std::vector<std::uint8_t>& definition,
                                                       const std::vector<std::uint32_t>& pages) {
  const bool jet4 = format.version == 4;
  std::vector<std::vector<std::uint8_t>> images;
  std::size_t taken = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    std::vector<std::uint8_t> page;
    if (i == 0) {
      const std::size_t take = std::min<std::size_t>(definition.size(), format.pageSize);
      page.assign(definition.begin(), definition.begin() + static_cast<std::ptrdiff_t>(take));
      taken = take;
    } else {
      page.assign(format.tdefContinuationHeader, 0);
      page[0] = kTableDefinitionPage;
      page[1] = 0x01;
      if (!jet4) {
        page[2] = 'V';
        page[3] = 'C';
      }
      const std::size_t take = std::min(definition.size() - taken, format.pageSize - format.tdefContinuationHeader);
      page.insert(page.end(), definition.begin() + static_cast<std::ptrdiff_t>(taken),
                  definition.begin() + static_cast<std::ptrdiff_t>(taken + take));
      taken += take;
    }
    // Jet 4 keeps the page's free bytes (less 8) at +2.
    if (jet4) put16(page, 2, static_cast<std::uint16_t>(format.pageSize - std::min<std::size_t>(page.size() + 8, format.pageSize)));
    put32(page, format.tdefNextPageOffset, i + 1 < pages.size() ? pages[i + 1] : 0);
    page.resize(format.pageSize, 0);
    images.push_back(std::move(page));
  }
  return images;
}

}  // namespace fennick::jet
