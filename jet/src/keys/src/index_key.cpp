// Key parts of index entries: the per-column marker byte, descending order,
// and the conversion of Values to each column type's range before the
// type's own encoding (type_keys.cpp, text_key.cpp) runs.
//
// The marker byte is 0x7F before a value and 0x00 for NULL in an ascending
// column, so NULLs sort first; a descending column inverts every byte of
// its part, marker included (0x80 and 0xFF). Boolean parts are one byte and
// have no marker: 0x00 for True and 0xFF for False (True is -1, so it sorts
// first), inverted when descending.
#include "jet_keys/index_key.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "core/utf.h"
#include "text_key.h"
#include "type_keys.h"

namespace fennick::jet {

namespace {

using keys::detail::appendBinaryKey;
using keys::detail::appendDoubleKey;
using keys::detail::appendIntegerKey;
using keys::detail::appendNumericKey;
using keys::detail::appendSingleKey;

constexpr std::uint8_t kValueMarker = 0x7F;
constexpr std::uint8_t kNullMarker = 0x00;
constexpr std::uint8_t kBooleanTrue = 0x00;
constexpr std::uint8_t kBooleanFalse = 0xFF;
constexpr std::uint16_t kGeneralSortId = 1033;
constexpr std::size_t kGuidBytes = 16;
constexpr std::size_t kLongestIndexedText = 255;

const char* typeName(ColumnType type) {
  switch (type) {
    case ColumnType::Boolean: return "Yes/No";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long Integer";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "Date/Time";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::OleObject: return "OLE Object";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Replication ID";
    case ColumnType::Numeric: return "Decimal";
  }
  return "unknown";
}

[[noreturn]] void reject(const KeyColumn& column, const std::string& why) {
  throw std::runtime_error("index key for column '" + std::string(column.name) + "' (" + typeName(column.type) +
                           "): " + why);
}

[[noreturn]] void wrongKind(const KeyColumn& column, const Value& value) {
  reject(column, std::string("cannot take a value of kind ") + kindName(value.kind()));
}

// Built by appending: GCC 12 warns falsely about "'" + std::string.
std::string quoted(std::string_view text) {
  std::string out(1, '\'');
  out.append(text);
  out.push_back('\'');
  return out;
}

// An exact decimal split into sign, digits and the count of digits after the point.
struct DecimalParts {
  bool negative = false;
  std::string digits;  // no leading zeros unless "0"
  int fractionDigits = 0;
};

DecimalParts splitDecimal(const KeyColumn& column, std::string_view text) {
  DecimalParts parts;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) parts.negative = text[i++] == '-';
  bool seenPoint = false, seenDigit = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      seenDigit = true;
      parts.digits.push_back(c);
      if (seenPoint) ++parts.fractionDigits;
    } else {
      reject(column, quoted(text) + " is not a decimal number");
    }
  }
  if (!seenDigit) reject(column, quoted(text) + " is not a decimal number");
  return parts;
}

// Scales to `scale` digits after the point, rounding half away from zero as
// Access does when it stores the value.
std::string scaledDigits(const KeyColumn& column, DecimalParts parts, int scale) {
  std::string digits = parts.digits;
  if (parts.fractionDigits <= scale) {
    digits.append(static_cast<std::size_t>(scale - parts.fractionDigits), '0');
  } else {
    std::size_t drop = static_cast<std::size_t>(parts.fractionDigits - scale);
    bool roundUp = digits[digits.size() - drop] >= '5';
    digits.erase(digits.size() - drop);
    if (digits.empty()) digits.push_back('0');
    if (roundUp) {
      std::size_t k = digits.size();
      while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
      if (k == 0) digits.insert(digits.begin(), '1');
      else ++digits[k - 1];
    }
  }
  std::size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  if (digits.size() > 38) reject(column, "the value has too many digits");
  return digits;
}

// The shortest exact decimal digits of a finite double, without exponent.
std::string plainText(const KeyColumn& column, double d) {
  if (!std::isfinite(d)) reject(column, "the number is not finite");
  char buf[512];  // enough for every double in fixed notation
  auto result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
  if (result.ec != std::errc()) reject(column, "the number is out of range");
  return std::string(buf, result.ptr);
}

std::int64_t integerValue(const KeyColumn& column, const Value& value, std::int64_t low,
                          std::int64_t high) {
  std::int64_t n = 0;
  switch (value.kind()) {
    case Value::Kind::Integer:
      n = value.asInteger();
      break;
    case Value::Kind::Boolean:
      n = value.asBoolean() ? -1 : 0;
      break;
    case Value::Kind::Double: {
      double d = value.asDouble();
      if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.2e18)
        reject(column, "the number " + value.toDisplayString() + " is not a whole number in range");
      n = static_cast<std::int64_t>(d);
      break;
    }
    case Value::Kind::Decimal: {
      DecimalParts parts = splitDecimal(column, value.asDecimal().text);
      std::string_view fraction = std::string_view(parts.digits).substr(
          parts.digits.size() - static_cast<std::size_t>(parts.fractionDigits));
      if (fraction.find_first_not_of('0') != std::string_view::npos)
        reject(column, "the number " + value.asDecimal().text + " is not a whole number");
      std::string digits = scaledDigits(column, parts, 0);
      if (digits.size() > 18) reject(column, "the number " + value.asDecimal().text + " is out of range");
      n = std::stoll(digits) * (parts.negative ? -1 : 1);
      break;
    }
    default:
      wrongKind(column, value);
  }
  if (n < low || n > high)
    reject(column, "the number " + std::to_string(n) + " is outside " + std::to_string(low) + ".." +
                       std::to_string(high));
  return n;
}

double doubleValue(const KeyColumn& column, const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Double: return value.asDouble();
    case Value::Kind::Integer: return static_cast<double>(value.asInteger());
    case Value::Kind::Boolean: return value.asBoolean() ? -1.0 : 0.0;
    case Value::Kind::Decimal: {
      const std::string& text = value.asDecimal().text;
      const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
      double d = 0;
      auto result = std::from_chars(begin, text.data() + text.size(), d);
      if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        reject(column, quoted(text) + " is not a number");
      return d;
    }
    default: wrongKind(column, value);
  }
}

// A number value as decimal text, for the exactly scaled key types.
std::string decimalText(const KeyColumn& column, const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Integer: return std::to_string(value.asInteger());
    case Value::Kind::Double: return plainText(column, value.asDouble());
    case Value::Kind::Decimal: return value.asDecimal().text;
    default: wrongKind(column, value);
  }
}

void appendCurrency(Bytes& out, const KeyColumn& column, const Value& value) {
  constexpr int kCurrencyScale = 4;
  const std::string text = decimalText(column, value);
  DecimalParts parts = splitDecimal(column, text);
  std::string digits = scaledDigits(column, parts, kCurrencyScale);
  // The stored value is a 64-bit count of ten-thousandths.
  const std::string limit = parts.negative ? "9223372036854775808" : "9223372036854775807";
  if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit))
    reject(column, "the amount " + text + " is out of range");
  std::uint64_t magnitude = std::stoull(digits);
  std::int64_t units = parts.negative ? static_cast<std::int64_t>(0 - magnitude)
                                      : static_cast<std::int64_t>(magnitude);
  appendIntegerKey(out, units, 8, true);
}

void appendNumeric(Bytes& out, const KeyColumn& column, const Value& value) {
  if (column.scale < 0 || column.scale > 28) reject(column, "the column's scale is out of range");
  const std::string text = decimalText(column, value);
  DecimalParts parts = splitDecimal(column, text);
  std::string digits = scaledDigits(column, parts, column.scale);
  std::uint8_t magnitude[16] = {};
  for (char c : digits) {
    unsigned carry = static_cast<unsigned>(c - '0');
    for (int i = 15; i >= 0; --i) {
      unsigned v = magnitude[i] * 10u + carry;
      magnitude[i] = static_cast<std::uint8_t>(v & 0xFF);
      carry = v >> 8;
    }
    if (carry) reject(column, "the number " + text + " is out of range");
  }
  appendNumericKey(out, parts.negative, std::span<const std::uint8_t, 16>(magnitude));
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A GUID in the byte order rows hold it: the first three groups little-endian.
Bytes guidBytes(const KeyColumn& column, const Value& value) {
  if (value.kind() == Value::Kind::Bytes) {
    if (value.asBytes().size() != kGuidBytes) reject(column, "a GUID has 16 bytes");
    return value.asBytes();
  }
  if (value.kind() != Value::Kind::Text) wrongKind(column, value);
  std::string_view text = value.asText();
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  static constexpr int groupEnds[] = {8, 13, 18, 23};
  Bytes big;
  bool ok = text.size() == 36;
  for (std::size_t i = 0; ok && i < text.size();) {
    bool dash = false;
    for (int end : groupEnds) dash = dash || static_cast<std::size_t>(end) == i;
    if (dash) {
      ok = text[i] == '-';
      ++i;
      continue;
    }
    int hi = hexDigit(text[i]), lo = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
    ok = hi >= 0 && lo >= 0;
    big.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    i += 2;
  }
  if (!ok || big.size() != kGuidBytes)
    reject(column, quoted(value.asText()) + " is not a GUID like {01234567-89AB-CDEF-0123-456789ABCDEF}");
  Bytes row(big);
  row[0] = big[3]; row[1] = big[2]; row[2] = big[1]; row[3] = big[0];
  row[4] = big[5]; row[5] = big[4];
  row[6] = big[7]; row[7] = big[6];
  return row;
}

void appendValue(Bytes& out, JetFormat format, TextSortOrder order, const KeyColumn& column,
                 const Value& value) {
  switch (column.type) {
    case ColumnType::Byte:
      appendIntegerKey(out, integerValue(column, value, 0, 255), 1, false);
      return;
    case ColumnType::Integer:
      appendIntegerKey(out, integerValue(column, value, -32768, 32767), 2, true);
      return;
    case ColumnType::Long:
      appendIntegerKey(out, integerValue(column, value, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max()),
                       4, true);
      return;
    case ColumnType::Currency:
      appendCurrency(out, column, value);
      return;
    case ColumnType::Single: {
      double d = doubleValue(column, value);
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        reject(column, "the number " + value.toDisplayString() + " is too large for a Single");
      appendSingleKey(out, static_cast<float>(d));
      return;
    }
    case ColumnType::Double:
      appendDoubleKey(out, doubleValue(column, value));
      return;
    case ColumnType::DateTime:
      if (value.kind() == Value::Kind::DateTime) {
        if (!value.asDateTime().isValid()) reject(column, "the date is not valid");
        appendDoubleKey(out, value.asDateTime().toOleDate());
      } else if (value.kind() == Value::Kind::Double) {
        appendDoubleKey(out, value.asDouble());
      } else {
        wrongKind(column, value);
      }
      return;
    case ColumnType::Text:
    case ColumnType::Memo:
      if (value.kind() != Value::Kind::Text) wrongKind(column, value);
      if (column.type == ColumnType::Memo && format == JetFormat::Jet3)
        reject(column, "Access 97 cannot index Memo columns");
      // A Text column holds at most 255 characters. How Access keys the part
      // of a Memo beyond that is not known; such values are refused rather
      // than guessed.
      // (No text has more UTF-16 units than UTF-8 bytes.)
      if (value.asText().size() > kLongestIndexedText && utf16Length(value.asText()) > kLongestIndexedText)
        reject(column, "values longer than 255 characters cannot be written into an index key");
      if (format == JetFormat::Jet3 && order != TextSortOrder::General97)
        reject(column, "Jet 3 files key text in the Access 97 General order only");
      if (format == JetFormat::Jet4 && order == TextSortOrder::General97)
        reject(column, "Jet 4 files do not use the Access 97 General order");
      keys::detail::appendTextKey(out, order, value.asText());
      return;
    case ColumnType::Binary:
      if (value.kind() != Value::Kind::Bytes) wrongKind(column, value);
      appendBinaryKey(out, value.asBytes());
      return;
    case ColumnType::Guid:
      appendBinaryKey(out, guidBytes(column, value));
      return;
    case ColumnType::Numeric:
      if (format == JetFormat::Jet3) reject(column, "Jet 3 files have no Decimal columns");
      appendNumeric(out, column, value);
      return;
    case ColumnType::Boolean:
    case ColumnType::OleObject:
      break;
  }
  reject(column, "columns of this type cannot be indexed");
}

}  // namespace

TextSortOrder textSortOrderFor(JetFormat format, std::uint16_t sortId, std::uint8_t sortVersion) {
  if (sortId == kGeneralSortId) {
    if (format == JetFormat::Jet3) return TextSortOrder::General97;
    if (sortVersion == 0) return TextSortOrder::GeneralLegacy;
    if (sortVersion == 1) return TextSortOrder::General2010;
  }
  throw std::runtime_error("text sort order " + std::to_string(sortId) + " version " +
                           std::to_string(sortVersion) +
                           " is not supported for index keys (only General, 1033)");
}

void appendKeyPart(Bytes& key, JetFormat format, TextSortOrder order, const KeyColumn& column,
                   const Value& value) {
  const std::size_t start = key.size();
  if (column.type == ColumnType::Boolean) {
    // Jet has no NULL in Yes/No columns; a missing value is No.
    bool isTrue = false;
    if (value.kind() == Value::Kind::Boolean) isTrue = value.asBoolean();
    else if (value.kind() == Value::Kind::Integer) isTrue = value.asInteger() != 0;
    else if (!value.isNull()) wrongKind(column, value);
    key.push_back(isTrue ? kBooleanTrue : kBooleanFalse);
  } else if (value.isNull()) {
    key.push_back(kNullMarker);
  } else {
    key.push_back(kValueMarker);
    appendValue(key, format, order, column, value);
  }
  if (!column.ascending)
    for (std::size_t i = start; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(~key[i]);
}

Bytes encodeIndexKey(JetFormat format, TextSortOrder order, std::span<const KeyColumn> columns,
                     std::span<const Value> values) {
  if (columns.size() != values.size())
    throw std::invalid_argument("index key: " + std::to_string(columns.size()) + " columns but " +
                                std::to_string(values.size()) + " values");
  Bytes key;
  for (std::size_t i = 0; i < columns.size(); ++i) appendKeyPart(key, format, order, columns[i], values[i]);
  return key;
}

}  // namespace fennick::jet
