// Field encoding and the row layout.
#include "row_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/utf.h"
#include "jet/error.h"
#include "long_value_writer.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using U128 = unsigned __int128;

template <typename T>
void appendLittle(Bytes8& out, T value) {
  std::uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));  // the platforms we build for are little-endian
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

[[noreturn]] void refuse(const TableDefinition& def, const Column& c, const std::string& what) {
  throw Error("Cannot store a value in column \"" + c.name + "\" of table \"" + def.name + "\": " + what + ".");
}

[[noreturn]] void wrongKind(const TableDefinition& def, const Column& c, const Value& v, const char* wanted) {
  refuse(def, c, std::string("a ") + kindName(v.kind()) + " value is not " + wanted);
}

double numberOf(const TableDefinition& def, const Column& c, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Integer: return static_cast<double>(v.asInteger());
    case Value::Kind::Double: return v.asDouble();
    case Value::Kind::Boolean: return v.asBoolean() ? -1 : 0;
    case Value::Kind::Decimal: return std::strtod(v.asDecimal().text.c_str(), nullptr);
    default: wrongKind(def, c, v, "a number");
  }
}

std::int64_t integerOf(const TableDefinition& def, const Column& c, const Value& v, std::int64_t low, std::int64_t high) {
  std::int64_t i = 0;
  if (v.kind() == Value::Kind::Integer) {
    i = v.asInteger();
  } else {
    const double d = numberOf(def, c, v);
    if (d != std::floor(d)) refuse(def, c, "the number is not whole");
    if (!(d >= double(low) && d <= double(high))) refuse(def, c, "the number is out of range");
    i = static_cast<std::int64_t>(d);
  }
  if (i < low || i > high) refuse(def, c, std::to_string(i) + " is out of range");
  return i;
}

// A decimal number as an exact magnitude scaled by 10^scale (extra digits
// rounded half to even, as Jet rounds Currency) and its sign; false when it
// has more than `maxDigits` digits or is not a number.
bool scaledDecimal(std::string_view text, unsigned scale, unsigned maxDigits, unsigned __int128& magnitude,
                   bool& negative) {
  std::size_t i = 0;
  negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned __int128 m = 0;
  unsigned digits = 0, fraction = 0;
  bool point = false, any = false, dropping = false;
  int firstDropped = 0;      // the first digit past the scale
  bool laterDropped = false;  // any non-zero digit after it
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '.' && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9') return false;
    any = true;
    if (point && fraction == scale) {
      if (!dropping) firstDropped = ch - '0';
      else laterDropped = laterDropped || ch != '0';
      dropping = true;
      continue;
    }
    if (point) ++fraction;
    m = m * 10 + unsigned(ch - '0');
    if (m != 0) ++digits;
    if (digits > 38) return false;
  }
  if (!any) return false;
  for (; fraction < scale; ++fraction) {
    m *= 10;
    if (m != 0) ++digits;
  }
  if (firstDropped > 5 || (firstDropped == 5 && (laterDropped || m % 2 == 1))) ++m;
  unsigned __int128 limit = 1;
  for (unsigned d = 0; d < maxDigits; ++d) limit *= 10;
  if (m >= limit) return false;
  magnitude = m;
  negative = negative && m != 0;
  return true;
}

std::string decimalTextOf(const TableDefinition& def, const Column& c, const Value& v, unsigned scale) {
  switch (v.kind()) {
    case Value::Kind::Decimal: return v.asDecimal().text;
    case Value::Kind::Integer: return std::to_string(v.asInteger());
    case Value::Kind::Boolean: return v.asBoolean() ? "-1" : "0";
    case Value::Kind::Double: {
      const double d = v.asDouble();
      if (!std::isfinite(d)) refuse(def, c, "the number is not finite");
      char buffer[400];
      std::snprintf(buffer, sizeof buffer, "%.*f", int(scale) + 1, d);
      return buffer;
    }
    default: wrongKind(def, c, v, "a number");
  }
}

void currencyField(const TableDefinition& def, const Column& c, const Value& v, Bytes8& out) {
  unsigned __int128 m = 0;
  bool negative = false;
  if (!scaledDecimal(decimalTextOf(def, c, v, 4), 4, 19, m, negative) ||
      m > (negative ? U128(INT64_MAX) + 1 : U128(INT64_MAX)))
    refuse(def, c, "the amount is out of the Currency range");
  appendLittle(out, negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(m)) : static_cast<std::int64_t>(m));
}

void numericField(const TableDefinition& def, const Column& c, const Value& v, Bytes8& out) {
  unsigned __int128 m = 0;
  bool negative = false;
  if (!scaledDecimal(decimalTextOf(def, c, v, c.scale), c.scale, c.precision, m, negative))
    refuse(def, c, "the number does not fit precision " + std::to_string(c.precision) + " and scale " +
                       std::to_string(c.scale));
  // A sign byte, then the magnitude as four little-endian 32-bit words, the
  // most significant first.
  out.push_back(negative ? 0x80 : 0x00);
  for (int word = 3; word >= 0; --word) appendLittle(out, static_cast<std::uint32_t>(m >> (32 * word)));
}

int hexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

void guidField(const TableDefinition& def, const Column& c, const Value& v, Bytes8& out) {
  if (v.kind() == Value::Kind::Bytes) {
    if (v.asBytes().size() != 16) refuse(def, c, "a GUID has 16 bytes");
    out = v.asBytes();
    return;
  }
  if (v.kind() != Value::Kind::Text) wrongKind(def, c, v, "a GUID");
  // {00112233-4455-6677-8899-AABBCCDDEEFF}: the first three groups are
  // little-endian numbers, the last eight bytes are stored in order.
  std::string hex;
  for (char ch : v.asText())
    if (ch != '{' && ch != '}' && ch != '-') hex.push_back(ch);
  // Braces optional; the last two groups may run together, as Jet tools
  // show them.
  std::string_view t = v.asText();
  if (t.size() >= 2 && t.front() == '{' && t.back() == '}') t = t.substr(1, t.size() - 2);
  const bool shaped = (t.size() == 36 && t[23] == '-') || t.size() == 35;
  if (!shaped || hex.size() != 32 || std::any_of(hex.begin(), hex.end(), [](char ch) { return hexDigit(ch) < 0; }))
    refuse(def, c, "\"" + v.asText() + "\" is not a GUID");
  std::uint8_t b[16];
  for (int i = 0; i < 16; ++i) b[i] = static_cast<std::uint8_t>(hexDigit(hex[2 * i]) << 4 | hexDigit(hex[2 * i + 1]));
  static constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  out.resize(16);
  for (int i = 0; i < 16; ++i) out[order[i]] = b[i];
}

// Text in the file's encoding: Jet 3 in the code page; Jet 4 UCS-2, or its
// compressed form (FF FE, one byte per character) when the column allows
// it, every character does (a zero byte would switch modes) and it is
// shorter. Returns the text's length in UTF-16 units. ASCII and Latin-1
// text, the common case, is compressed in one pass over the UTF-8.
std::size_t encodeText(const Format& format, const Column& c, std::string_view utf8, unsigned codePage, Bytes8& out) {
  if (format.version == 3) {
    const std::string bytes = platform::toCodePage(codePage, utf8);
    out.assign(bytes.begin(), bytes.end());
    return utf16Length(utf8);
  }
  out.clear();
  if (c.compressedUnicode) {
    out.reserve(utf8.size() + 2);
    out.push_back(0xFF);
    out.push_back(0xFE);
    std::size_t pos = 0, units = 0;
    bool compressible = true;
    while (pos < utf8.size()) {
      const auto byte = static_cast<std::uint8_t>(utf8[pos]);
      char32_t cp = byte;
      if (byte < 0x80) ++pos;
      else cp = nextCodePoint(utf8, pos);
      // `pos` is past this character already: a last character that cannot
      // be compressed must not pass for the end of the text.
      if (cp < 1 || cp > 0xFF) {
        compressible = false;
        break;
      }
      out.push_back(static_cast<std::uint8_t>(cp));
      ++units;
    }
    if (compressible && units > 2) return units;
    out.clear();
  }
  const std::u16string units = utf8ToUtf16(utf8);
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return units.size();
}

void encodeField(const Format& format, const TableDefinition& def, const Column& c, const Value& v,
                 unsigned codePage, Bytes8& out) {
  out.clear();
  switch (c.type) {
    case ColumnType::Byte: out.push_back(static_cast<std::uint8_t>(integerOf(def, c, v, 0, 255))); break;
    case ColumnType::Integer: appendLittle(out, static_cast<std::int16_t>(integerOf(def, c, v, -32768, 32767))); break;
    case ColumnType::Long:
      appendLittle(out, static_cast<std::int32_t>(integerOf(def, c, v, INT32_MIN, INT32_MAX)));
      break;
    case ColumnType::Currency: currencyField(def, c, v, out); break;
    case ColumnType::Single: appendLittle(out, static_cast<float>(numberOf(def, c, v))); break;
    case ColumnType::Double: appendLittle(out, numberOf(def, c, v)); break;
    case ColumnType::DateTime:
      if (v.kind() != Value::Kind::DateTime) wrongKind(def, c, v, "a date");
      appendLittle(out, v.asDateTime().toOleDate());
      break;
    case ColumnType::Guid: guidField(def, c, v, out); break;
    case ColumnType::Numeric: numericField(def, c, v, out); break;
    case ColumnType::Text:
      if (v.kind() != Value::Kind::Text) wrongKind(def, c, v, "text");
      if (encodeText(format, c, v.asText(), codePage, out) > c.textLength && c.textLength)
        refuse(def, c, "the text is longer than " + std::to_string(c.textLength) + " characters");
      break;
    case ColumnType::Memo:
      if (v.kind() != Value::Kind::Text) wrongKind(def, c, v, "text");
      encodeText(format, c, v.asText(), codePage, out);
      break;
    case ColumnType::Binary:
      if (v.kind() != Value::Kind::Bytes) wrongKind(def, c, v, "binary");
      if (v.asBytes().size() > c.length) refuse(def, c, "the value is longer than " + std::to_string(c.length) + " bytes");
      out = v.asBytes();
      break;
    case ColumnType::Ole:
      if (v.kind() != Value::Kind::Bytes) wrongKind(def, c, v, "binary");
      out = v.asBytes();
      break;
    default: refuse(def, c, std::string("columns of type ") + columnTypeName(c.type) + " are not written yet");
  }
}

bool isLongValue(const Column& c) { return c.type == ColumnType::Memo || c.type == ColumnType::Ole; }

// Bytes of the variable-offset table and what follows it up to the null
// mask, for `count` variable fields and `dataEnd` bytes before the table.
std::size_t trailerSize(const Format& format, std::size_t count, std::size_t dataEnd, std::size_t maskSize,
                        std::size_t& jumps) {
  jumps = 0;
  if (count == 0) return 0;
  const std::size_t table = format.rowVarOffsetSize * (count + 1) + format.rowColumnCountSize;
  if (!format.rowJumpTable) return table;
  // Jet 3: one jump entry per 256 bytes of row, counted over the whole row.
  const std::size_t base = dataEnd + table + maskSize;
  for (std::size_t next = (base - 1) / 256; next != jumps; next = (base + jumps - 1) / 256) jumps = next;
  return table + jumps;
}

enum FieldKind : std::uint8_t { kAbsent, kPlain, kLongInRow, kLongOutOfRow };

}  // namespace

std::size_t maxRowSize(const Format& format) { return format.pageSize - format.dataRowTableOffset - 2; }

std::vector<std::uint8_t> encodeRow(const Format& format, const TableDefinition& def,
                                    const std::vector<Value>& values, unsigned codePage,
                                    std::vector<OutOfRowValue>* outOfRow) {
  RowBuffers buffers;
  std::vector<std::uint8_t> row;
  encodeRow(format, def, values, codePage, outOfRow, buffers, row);
  return row;
}

void encodeRow(const Format& format, const TableDefinition& def, const std::vector<Value>& values,
               unsigned codePage, std::vector<OutOfRowValue>* outOfRow, RowBuffers& b,
               std::vector<std::uint8_t>& row) {
  if (values.size() != def.columns.size())
    throw Error("A row for table \"" + def.name + "\" needs " + std::to_string(def.columns.size()) + " values, not " +
                std::to_string(values.size()) + ".");
  const std::size_t countSize = format.rowColumnCountSize;
  std::size_t fixedSize = 0;
  for (const auto& c : def.columns)
    if (c.fixed && c.type != ColumnType::Boolean)
      fixedSize = std::max<std::size_t>(fixedSize, std::size_t{c.fixedOffset} + c.length);

  row.assign(countSize + fixedSize, 0);
  row[0] = static_cast<std::uint8_t>(def.maxColumns);
  if (countSize == 2) row[1] = static_cast<std::uint8_t>(def.maxColumns >> 8);
  const std::size_t maskSize = (def.maxColumns + 7) / 8;
  b.nullMask.assign(maskSize, 0);
  const auto present = [&](const Column& c) { b.nullMask.at(c.number / 8) |= static_cast<std::uint8_t>(1u << (c.number % 8)); };

  // Variable fields: their bytes one after another in b.data, bounds and
  // kind per variable index.
  const std::size_t variableCount = def.variableColumns;
  b.data.clear();
  b.bounds.assign(2 * variableCount, 0);
  b.kinds.assign(variableCount, kAbsent);
  b.columns.assign(variableCount, 0);
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const Column& c = def.columns[i];
    const Value& v = values[i];
    if (c.type == ColumnType::Boolean) {
      if (!v.isNull() && numberOf(def, c, v) != 0) present(c);
      continue;
    }
    if (v.isNull()) {
      if (!c.nullable) refuse(def, c, "the column requires a value");
      continue;
    }
    if (c.fixed) {
      present(c);
      encodeField(format, def, c, v, codePage, b.field);
      if (b.field.size() != c.length) refuse(def, c, "the value does not fill the column");
      std::copy(b.field.begin(), b.field.end(), row.begin() + static_cast<std::ptrdiff_t>(countSize + c.fixedOffset));
      continue;
    }
    if (c.varIndex >= variableCount)
      throw Error("The definition of table \"" + def.name + "\" places column \"" + c.name +
                  "\" outside its variable-length table.");
    present(c);
    encodeField(format, def, c, v, codePage, b.field);
    const std::size_t k = c.varIndex;
    b.bounds[2 * k] = b.data.size();
    b.data.insert(b.data.end(), b.field.begin(), b.field.end());
    b.bounds[2 * k + 1] = b.data.size();
    b.columns[k] = i;
    const std::size_t size = b.field.size();
    // Long values: small (and empty) ones stay in the row, others leave it.
    b.kinds[k] = !isLongValue(c) ? kPlain : size <= kInlineLongValueLimit || size == 0 ? kLongInRow : kLongOutOfRow;
    if (b.kinds[k] == kLongOutOfRow && !outOfRow) b.kinds[k] = kLongInRow;
  }

  // The row's size with the current choice of which long values stay in it;
  // while it is too large for a page, the largest one still inline leaves.
  const auto fieldSize = [&](std::size_t k) {
    const std::size_t bytes = b.bounds[2 * k + 1] - b.bounds[2 * k];
    switch (b.kinds[k]) {
      case kPlain: return bytes;
      case kLongInRow: return kLongValueFieldSize + bytes;
      case kLongOutOfRow: return kLongValueFieldSize;
      default: return std::size_t{0};
    }
  };
  const auto rowSize = [&] {
    std::size_t dataEnd = row.size();
    for (std::size_t k = 0; k < variableCount; ++k) dataEnd += fieldSize(k);
    std::size_t jumps = 0;
    return dataEnd + trailerSize(format, variableCount, dataEnd, maskSize, jumps) + maskSize;
  };
  for (std::size_t size = rowSize(); size > maxRowSize(format); size = rowSize()) {
    std::size_t largest = variableCount;
    for (std::size_t k = 0; k < variableCount; ++k)
      if (b.kinds[k] == kLongInRow && b.bounds[2 * k + 1] > b.bounds[2 * k] &&
          (largest == variableCount || fieldSize(k) > fieldSize(largest)))
        largest = k;
    if (largest == variableCount || !outOfRow)
      throw Error("A row of table \"" + def.name + "\" needs " + std::to_string(size) + " bytes, more than the " +
                  std::to_string(maxRowSize(format)) + " a row of a " + std::to_string(format.pageSize) +
                  "-byte page can hold.");
    b.kinds[largest] = kLongOutOfRow;
  }

  b.starts.clear();
  for (std::size_t k = 0; k < variableCount; ++k) {
    b.starts.push_back(row.size());
    const auto from = b.data.begin() + static_cast<std::ptrdiff_t>(b.bounds[2 * k]);
    const auto to = b.data.begin() + static_cast<std::ptrdiff_t>(b.bounds[2 * k + 1]);
    if (b.kinds[k] == kPlain) {
      row.insert(row.end(), from, to);
    } else if (b.kinds[k] == kLongInRow) {
      const LongValueField header = inlineLongValueField(static_cast<std::size_t>(to - from));
      row.insert(row.end(), header.begin(), header.end());
      row.insert(row.end(), from, to);
    } else if (b.kinds[k] == kLongOutOfRow) {
      const LongValueField header = outOfRowLongValueField(format, static_cast<std::size_t>(to - from));
      row.insert(row.end(), header.begin(), header.end());
      outOfRow->push_back(OutOfRowValue{b.columns[k], b.starts.back() + kLongValuePointerOffset, {from, to}});
    }
  }
  if (variableCount > 0) {
    const std::size_t endOfData = row.size();
    std::size_t jumps = 0;
    trailerSize(format, variableCount, endOfData, maskSize, jumps);
    const auto appendOffset = [&](std::size_t value) {
      row.push_back(static_cast<std::uint8_t>(value));
      if (format.rowVarOffsetSize == 2) row.push_back(static_cast<std::uint8_t>(value >> 8));
    };
    appendOffset(endOfData);
    for (std::size_t i = b.starts.size(); i-- > 0;) appendOffset(b.starts[i]);
    // Jet 3: jump entry j names the first offset entry (the end of the data
    // counting as entry n) at or past byte 256 x (j + 1); an entry no offset
    // reaches names none (0xFF).
    for (std::size_t j = jumps; j-- > 0;) {
      std::size_t first = 0xFF;
      for (std::size_t k = 0; k <= b.starts.size(); ++k) {
        const std::size_t offset = k < b.starts.size() ? b.starts[k] : endOfData;
        if (offset >= 256 * (j + 1)) {
          first = k;
          break;
        }
      }
      row.push_back(static_cast<std::uint8_t>(first));
    }
    row.push_back(static_cast<std::uint8_t>(variableCount));
    if (countSize == 2) row.push_back(static_cast<std::uint8_t>(variableCount >> 8));
  }
  row.insert(row.end(), b.nullMask.begin(), b.nullMask.end());
}

}  // namespace fennick::jet
