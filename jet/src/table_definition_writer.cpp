// New table definitions. Column flags: 0x01 fixed length, 0x02 may be null;
// Jet 4 text columns get the compressed-Unicode flag Access sets by default.
#include "table_definition_writer.h"

#include <algorithm>

#include "core/utf.h"
#include "jet/error.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

constexpr std::uint32_t kJet4Magic = 0x659;
constexpr std::uint8_t kUserTableType = 0x4E;
constexpr std::size_t kMaxNameLength = 64;  // characters, Jet's limit for object names
constexpr std::size_t kMaxColumns = 255;

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
    case ColumnType::Single: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    default: return 0;
  }
}

void checkName(const std::string& what, const std::string& name) {
  const std::size_t length = utf16Length(name);
  if (length == 0 || length > kMaxNameLength)
    throw Error("The name of " + what + " must have 1 to 64 characters.");
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
    const std::string bytes = platform::toCodePage(codePage, name);
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
}

}  // namespace

TableDefinition layOutNewTable(const Format& format, const std::string& table, const std::vector<NewColumn>& columns) {
  checkName("a table", table);
  if (columns.empty() || columns.size() > kMaxColumns)
    throw Error("The table \"" + table + "\" must have 1 to 255 columns.");
  TableDefinition def;
  def.name = table;
  std::uint16_t fixedOffset = 0, variableIndex = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const NewColumn& n = columns[i];
    checkName("a column of table \"" + table + "\"", n.name);
    for (std::size_t j = 0; j < i; ++j)
      if (equalsIgnoreAsciiCase(columns[j].name, n.name))
        throw Error("The table \"" + table + "\" has two columns named \"" + n.name + "\".");
    Column c;
    c.name = n.name;
    c.type = n.type;
    c.typeCode = static_cast<std::uint8_t>(n.type);
    c.number = static_cast<std::uint16_t>(i);
    c.nullable = true;
    c.sortOrder = 0x0409;
    if (n.type == ColumnType::Text || n.type == ColumnType::Binary) {
      if (n.length < 1 || n.length > 255)
        throw Error("The column \"" + n.name + "\" of table \"" + table + "\" must hold 1 to 255 " +
                    (n.type == ColumnType::Text ? "characters." : "bytes."));
      c.textLength = n.type == ColumnType::Text ? n.length : 0;
      c.length = static_cast<std::uint16_t>(n.type == ColumnType::Text ? n.length * format.textBytesPerChar : n.length);
      c.compressedUnicode = n.type == ColumnType::Text && format.version == 4;
      c.varIndex = variableIndex++;
    } else if (fixedLength(n.type)) {
      c.fixed = true;
      c.length = fixedLength(n.type);
      c.fixedOffset = fixedOffset;
      c.varIndex = variableIndex;  // Jet stores the count of variable columns before it
      if (n.type != ColumnType::Boolean) fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
    } else {
      throw Error("The column \"" + n.name + "\" of table \"" + table + "\" has type " + columnTypeName(n.type) +
                  ", which is not written yet.");
    }
    def.columns.push_back(c);
  }
  def.maxColumns = static_cast<std::uint16_t>(columns.size());
  def.variableColumns = variableIndex;
  return def;
}

std::vector<std::uint8_t> encodeTableDefinition(const Format& format, const TableDefinition& def,
                                                std::uint16_t codePage) {
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
  out[format.tdefTableTypeOffset] = kUserTableType;
  put16(out, format.tdefMaxColumnsOffset, def.maxColumns);
  put16(out, format.tdefVarColumnsOffset, def.variableColumns);
  put16(out, format.tdefColumnCountOffset, static_cast<std::uint16_t>(def.columns.size()));
  put32(out, format.tdefUsageMapOffset, def.usageMapPointer);
  put32(out, format.tdefFreeMapOffset, def.freeSpaceMapPointer);
  for (const Column& c : def.columns) {
    const std::size_t at = out.size();
    out.resize(at + format.columnEntrySize, 0);
    const std::uint8_t flags = static_cast<std::uint8_t>((c.fixed ? 0x01 : 0x00) | 0x02);
    out[at] = c.typeCode;
    if (jet4) {
      put32(out, at + 1, kJet4Magic);
      put16(out, at + 5, c.number);
      put16(out, at + 7, c.varIndex);
      put16(out, at + 9, c.number);
      put16(out, at + 11, c.sortOrder);
      out[at + 15] = flags;
      out[at + 16] = c.compressedUnicode ? 0x01 : 0x00;
      put16(out, at + 21, c.fixed ? c.fixedOffset : 0);
      put16(out, at + 23, c.length);
    } else {
      put16(out, at + 1, c.number);
      put16(out, at + 3, c.varIndex);
      put16(out, at + 5, c.number);
      put16(out, at + 7, 1);
      put16(out, at + 9, c.sortOrder);
      put16(out, at + 11, codePage);
      out[at + 13] = flags;
      put16(out, at + 14, c.fixed ? c.fixedOffset : 0);
      put16(out, at + 16, c.length);
    }
  }
  for (const Column& c : def.columns) appendName(format, out, c.name, codePage);
  out.push_back(0xFF);
  out.push_back(0xFF);
  if (out.size() > format.pageSize)
    throw Error("The definition of table \"" + def.name + "\" does not fit one page; so many columns are not written yet.");
  put32(out, 0x08, static_cast<std::uint32_t>(out.size()));
  if (jet4) put16(out, 2, static_cast<std::uint16_t>(format.pageSize - out.size() - 8));
  out.resize(format.pageSize, 0);
  return out;
}

}  // namespace fennick::jet
