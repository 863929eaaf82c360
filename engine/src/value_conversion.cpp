// Value coercion into Jet column types. The rules, as the Jet OLE DB
// provider applies them when a field of an appended row is set:
//  - Numbers into Byte, Integer, Long and Currency round half to even
//    (34.5 stores 34, 35.5 stores 36; Currency to four decimals); a value
//    outside the type's range is refused, never wrapped or clipped.
//  - Numeric(p,s) takes a value with at most s significant decimals and p
//    digits; more decimals are refused, as the provider refuses them, since
//    the column exists to hold exact figures.
//  - True is -1 and False 0 in any number column; a number into a Boolean
//    column is True when not zero.
//  - Text into numbers reads the invariant form: optional sign, digits, "."
//    as the decimal point, optional exponent, blanks around it ignored.
//  - Numbers into text: integers and decimals in full, doubles with 15
//    significant digits, in exponent form ("1E+15", "1.5E-07") when plain
//    digits would not show them, as Jet writes them.
//  - Dates into text as the General Date of an English (United States)
//    system: "12/9/2026 11:05:00 PM", the date alone at midnight and the
//    time alone on 12/30/1899. Text into dates reads that form and the ISO
//    form "2026-12-09 23:05:00".
//  - Bytes into text as two hexadecimal digits per byte; text never goes
//    into Binary or OLE columns.
//  - Text longer than Text(n), or bytes longer than Binary(n), are refused,
//    not cut; so is text with characters that a Jet 3 file's code page
//    cannot hold (the provider would store "?" for them).
// Relies on core/value.h, core/utf.h, platform/codepage.h and jet/schema.h.
#include "value_conversion.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/utf.h"
#include "platform/codepage.h"

// GCC 12 inlines Value's variant into the converter and then mistakes an
// alternative it never built for a freed object.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif

namespace fennick {
namespace {

bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

// The earliest and latest OLE dates Jet accepts: 100-01-01 and the last
// moment of 9999-12-31.
constexpr double kFirstOleDate = -657434.0;
constexpr double kEndOleDate = 2958466.0;

// A decimal number as digits and a power of ten: (-1)^negative * digits *
// 10^exponent, digits without leading zeros ("" for zero).
struct ExactNumber {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<ExactNumber> parseNumber(std::string_view text) {
  text = trimmed(text);
  ExactNumber n;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) n.negative = text[i++] == '-';
  bool anyDigit = false;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    anyDigit = true;
    if (!n.digits.empty() || text[i] != '0') n.digits.push_back(text[i]);
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      anyDigit = true;
      if (!n.digits.empty() || text[i] != '0') n.digits.push_back(text[i]);
      --n.exponent;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i == text.size() || !isDigit(text[i])) return std::nullopt;
    long exponent = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
      exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L);  // far past any type
    n.exponent += negativeExponent ? -exponent : exponent;
  }
  if (i != text.size()) return std::nullopt;
  if (n.digits.empty()) n.exponent = 0;
  return n;
}

// The shortest digits that read back as `d`, exactly as a decimal.
ExactNumber exactFromDouble(double d) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific);
  return *parseNumber(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

struct Rounded {
  std::string magnitude;  // the integer digits of |value| * 10^scale, "0" for zero
  bool inexact = false;   // non-zero digits were dropped
  bool huge = false;      // more digits than any column holds
};

// |n| * 10^scale rounded half to even to an integer.
Rounded roundToScale(const ExactNumber& n, int scale) {
  Rounded r;
  if (n.digits.empty()) {
    r.magnitude = "0";
    return r;
  }
  const long shift = n.exponent + scale;
  if (shift >= 0) {
    if (static_cast<long>(n.digits.size()) + shift > 40) {
      r.huge = true;
      return r;
    }
    r.magnitude = n.digits + std::string(static_cast<std::size_t>(shift), '0');
    return r;
  }
  const long cut = -shift;
  const long length = static_cast<long>(n.digits.size());
  std::string kept = cut < length ? n.digits.substr(0, static_cast<std::size_t>(length - cut)) : "";
  // The dropped digits, with the zeros between the point and the digits
  // when the whole number lies below the last kept place.
  const std::string_view dropped =
      cut < length ? std::string_view(n.digits).substr(static_cast<std::size_t>(length - cut)) : n.digits;
  const bool droppedLeadsWithZeros = cut > length;
  r.inexact = true;  // below the last kept place: some digit is not zero
  bool roundUp = false;
  if (!droppedLeadsWithZeros) {
    const char first = dropped.front();
    const bool restNonZero = dropped.substr(1).find_first_not_of('0') != std::string_view::npos;
    if (first > '5' || (first == '5' && restNonZero)) roundUp = true;
    else if (first == '5') roundUp = !kept.empty() && ((kept.back() - '0') % 2 == 1);
    r.inexact = dropped.find_first_not_of('0') != std::string_view::npos;
  }
  if (kept.empty()) kept = "0";
  if (roundUp) {
    std::size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) kept.insert(0, 1, '1');
    else ++kept[i - 1];
  }
  const auto nonZero = kept.find_first_not_of('0');
  r.magnitude = nonZero == std::string::npos ? "0" : kept.substr(nonZero);
  return r;
}

// Whether a magnitude in digits is at most `limit` (also digits).
bool atMost(const std::string& magnitude, std::string_view limit) {
  if (magnitude.size() != limit.size()) return magnitude.size() < limit.size();
  return magnitude <= limit;
}

std::int64_t toInt64(bool negative, const std::string& magnitude) {
  std::uint64_t v = 0;
  for (char c : magnitude) v = v * 10 + static_cast<std::uint64_t>(c - '0');
  return negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
}

std::string withPoint(bool negative, std::string magnitude, int scale) {
  if (scale > 0) {
    if (magnitude.size() <= static_cast<std::size_t>(scale))
      magnitude.insert(0, static_cast<std::size_t>(scale) - magnitude.size() + 1, '0');
    magnitude.insert(magnitude.size() - static_cast<std::size_t>(scale), 1, '.');
  }
  if (negative && magnitude.find_first_not_of("0.") != std::string::npos) magnitude.insert(0, 1, '-');
  return magnitude;
}

// Significant digits in the exponent-or-plain form Jet writes numbers in.
std::string formatSignificant(double d, int digits) {
  if (d == 0) return "0";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific, digits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = text.find('e');
  const bool negative = text.front() == '-';
  std::string mantissa;
  for (char c : text.substr(0, e))
    if (isDigit(c)) mantissa.push_back(c);
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= digits) {
    out += mantissa.substr(0, 1);
    if (mantissa.size() > 1) out += "." + mantissa.substr(1);
    const int magnitude = std::abs(exponent);
    out += exponent < 0 ? "E-" : "E+";
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
  } else {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= whole) out += mantissa + std::string(whole - mantissa.size(), '0');
    else out += mantissa.substr(0, whole) + "." + mantissa.substr(whole);
  }
  return out;
}

std::string twoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

std::string generalDate(const DateTime& t) {
  const bool hasDate = !(t.year == 1899 && t.month == 12 && t.day == 30);
  const bool hasTime = t.hour != 0 || t.minute != 0 || t.second != 0;
  std::string out;
  if (hasDate || !hasTime)
    out = std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year);
  if (hasTime) {
    if (!out.empty()) out += ' ';
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    out += std::to_string(hour12) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second) +
           (t.hour < 12 ? " AM" : " PM");
  }
  return out;
}

// Reads a run of at most `most` digits; false when there is none.
bool readInt(std::string_view text, std::size_t& pos, int most, int& out) {
  const std::size_t start = pos;
  out = 0;
  while (pos < text.size() && isDigit(text[pos]) && pos - start < static_cast<std::size_t>(most))
    out = out * 10 + (text[pos++] - '0');
  return pos > start;
}

bool readChar(std::string_view text, std::size_t& pos, char c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

// "h:mm[:ss[.fff]][ AM|PM]" from pos to the end.
bool parseTime(std::string_view text, std::size_t& pos, DateTime& t, bool allowMeridiem) {
  if (!readInt(text, pos, 2, t.hour) || !readChar(text, pos, ':') || !readInt(text, pos, 2, t.minute))
    return false;
  if (readChar(text, pos, ':')) {
    if (!readInt(text, pos, 2, t.second)) return false;
    if (readChar(text, pos, '.')) {
      int place = 100000000;
      if (pos == text.size() || !isDigit(text[pos])) return false;
      for (; pos < text.size() && isDigit(text[pos]); ++pos, place /= 10)
        t.nanosecond += (text[pos] - '0') * place;
    }
  }
  if (allowMeridiem && pos < text.size()) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const std::string meridiem = asciiUpper(text.substr(pos));
    if (meridiem != "AM" && meridiem != "PM") return false;
    if (t.hour < 1 || t.hour > 12) return false;
    t.hour = t.hour % 12 + (meridiem == "PM" ? 12 : 0);
    pos = text.size();
  }
  return pos == text.size();
}

std::optional<DateTime> parseDate(std::string_view text) {
  text = trimmed(text);
  DateTime t;
  std::size_t pos = 0;
  int first = 0;
  if (!readInt(text, pos, 4, first)) return std::nullopt;
  bool ok = false;
  if (pos == 4 && readChar(text, pos, '-')) {  // ISO
    t.year = first;
    ok = readInt(text, pos, 2, t.month) && readChar(text, pos, '-') && readInt(text, pos, 2, t.day);
    if (ok && pos < text.size()) {
      ok = (readChar(text, pos, ' ') || readChar(text, pos, 'T')) && parseTime(text, pos, t, false);
    }
  } else if (readChar(text, pos, '/')) {  // English (United States)
    t.month = first;
    ok = readInt(text, pos, 2, t.day) && readChar(text, pos, '/') && readInt(text, pos, 4, t.year);
    if (ok && pos < text.size()) ok = readChar(text, pos, ' ') && parseTime(text, pos, t, true);
  } else {  // a time alone
    pos = 0;
    ok = parseTime(text, pos, t, true);
  }
  if (!ok || !t.isValid() || t.year < 100 || t.year > 9999) return std::nullopt;
  return t;
}

std::string hexText(const Bytes& bytes) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (auto b : bytes) {
    out.push_back(hex[b >> 4]);
    out.push_back(hex[b & 15]);
  }
  return out;
}

bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A GUID written with or without braces, grouped 8-4-4-4-12 (the usual
// way), 8-4-4-16 (as the Jet reader writes it) or not at all.
std::optional<std::string> parseGuid(std::string_view text) {
  text = trimmed(text);
  if (text.size() >= 2 && text.front() == '{' && text.back() == '}') text = text.substr(1, text.size() - 2);
  std::string hex;
  std::string shape;
  for (char c : text) {
    if (c == '-') {
      shape += std::to_string(hex.size()) + ",";
    } else if (isHex(c)) {
      hex.push_back(c);
    } else {
      return std::nullopt;
    }
  }
  if (hex.size() != 32 || !(shape.empty() || shape == "8,12,16,20," || shape == "8,12,16,")) return std::nullopt;
  const std::string up = asciiUpper(hex);
  return "{" + up.substr(0, 8) + "-" + up.substr(8, 4) + "-" + up.substr(12, 4) + "-" + up.substr(16) + "}";
}

std::string guidFromBytes(const Bytes& b) {
  // The first three groups are little-endian numbers.
  static constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  Bytes ordered(16);
  for (int i = 0; i < 16; ++i) ordered[i] = b[order[i]];
  return *parseGuid(hexText(ordered));
}

// One conversion: the column, the value, and the messages naming both.
class Converter {
 public:
  Converter(const jet::Column& column, const Value& value) : column_(column), value_(value) {}

  Value run() {
    if (value_.isNull()) return Value::null();
    switch (column_.type) {
      case jet::ColumnType::Boolean: return toBoolean();
      case jet::ColumnType::Byte: return toInteger(0, 255, "0 to 255");
      case jet::ColumnType::Integer: return toInteger(-32768, 32767, "-32768 to 32767");
      case jet::ColumnType::Long:
        return toInteger(-2147483648LL, 2147483647, "-2147483648 to 2147483647");
      case jet::ColumnType::Currency: return toCurrency();
      case jet::ColumnType::Numeric: return toNumeric();
      case jet::ColumnType::Single: return toSingle();
      case jet::ColumnType::Double: return Value::real(toDouble());
      case jet::ColumnType::DateTime: return toDateTime();
      case jet::ColumnType::Text:
      case jet::ColumnType::Memo: return toText();
      case jet::ColumnType::Binary:
      case jet::ColumnType::Ole: return toBytes();
      case jet::ColumnType::Guid: return toGuid();
      case jet::ColumnType::Unsupported: break;
    }
    throw std::runtime_error("Field '" + column_.name + "' has a column type (code " +
                             std::to_string(column_.typeCode) + ") that cannot be written");
  }

 private:
  // The value for a message, cut short when long.
  std::string shown() const {
    std::string text = value_.toDisplayString();
    if (utf16Length(text) > 40) text = cutToUtf16Units(text, 40) + "...";
    return text;
  }
  [[noreturn]] void mismatch() const {
    throw std::runtime_error("Data type mismatch in field '" + column_.name + "': the " +
                             kindName(value_.kind()) + " value '" + shown() + "' cannot be stored as " +
                             jet::columnTypeName(column_.type));
  }
  [[noreturn]] void outOfRange(const std::string& holds) const {
    throw std::runtime_error("The value '" + shown() + "' is out of range for field '" +
                             column_.name + "' (" + jet::columnTypeName(column_.type) + " holds " +
                             holds + ")");
  }
  [[noreturn]] void tooLong(std::size_t size, std::size_t limit, const char* unit) const {
    throw std::runtime_error(
        "The field is too small to accept the amount of data you attempted to add: field '" +
        column_.name + "' holds " + std::to_string(limit) + " " + unit + ", the value has " +
        std::to_string(size));
  }

  // The value as an exact number, for the integer and decimal types.
  ExactNumber exact() const {
    switch (value_.kind()) {
      case Value::Kind::Boolean: return ExactNumber{value_.asBoolean(), value_.asBoolean() ? "1" : "", 0};
      case Value::Kind::Integer: {
        const std::int64_t i = value_.asInteger();
        const std::uint64_t magnitude = i < 0 ? 0 - static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i);
        return ExactNumber{i < 0, i == 0 ? "" : std::to_string(magnitude), 0};
      }
      case Value::Kind::Double: {
        if (!std::isfinite(value_.asDouble())) outOfRange(finiteRange());
        return exactFromDouble(value_.asDouble());
      }
      case Value::Kind::DateTime: return exactFromDouble(value_.asDateTime().toOleDate());
      case Value::Kind::Decimal:
        if (auto n = parseNumber(value_.asDecimal().text)) return *n;
        break;
      case Value::Kind::Text:
        if (auto n = parseNumber(value_.asText())) return *n;
        break;
      default: break;
    }
    mismatch();
  }

  std::string finiteRange() const { return "finite numbers only"; }

  Value toBoolean() const {
    if (value_.kind() == Value::Kind::Boolean) return value_;
    if (value_.kind() == Value::Kind::Text) {
      const std::string word = asciiUpper(trimmed(value_.asText()));
      if (word == "TRUE" || word == "YES" || word == "ON") return Value::boolean(true);
      if (word == "FALSE" || word == "NO" || word == "OFF") return Value::boolean(false);
    }
    if (value_.kind() == Value::Kind::DateTime || value_.kind() == Value::Kind::Bytes) mismatch();
    if (value_.kind() == Value::Kind::Double && std::isnan(value_.asDouble())) mismatch();
    if (value_.kind() == Value::Kind::Double) return Value::boolean(value_.asDouble() != 0);
    return Value::boolean(!exact().digits.empty());
  }

  Value toInteger(std::int64_t low, std::int64_t high, const char* holds) const {
    if (value_.kind() == Value::Kind::Integer) {  // the common case, without digits
      if (value_.asInteger() < low || value_.asInteger() > high) outOfRange(holds);
      return value_;
    }
    const ExactNumber n = exact();
    const Rounded r = roundToScale(n, 0);
    const bool negative = n.negative && r.magnitude != "0";
    if (r.huge || r.magnitude.size() > 18) outOfRange(holds);  // beyond every integer column
    const std::int64_t v = toInt64(negative, r.magnitude);
    if (v < low || v > high) outOfRange(holds);
    return Value::integer(v);
  }

  Value toCurrency() const {
    const ExactNumber n = exact();
    const Rounded r = roundToScale(n, 4);
    const bool negative = n.negative && r.magnitude != "0";
    if (r.huge || !atMost(r.magnitude, negative ? "9223372036854775808" : "9223372036854775807"))
      outOfRange("-922337203685477.5808 to 922337203685477.5807");
    return Value::decimal(withPoint(negative, r.magnitude, 4));
  }

  Value toNumeric() const {
    const ExactNumber n = exact();
    const int scale = column_.scale;
    const int precision = column_.precision == 0 ? 18 : column_.precision;
    const Rounded r = roundToScale(n, scale);
    const std::string shape =
        "Numeric(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    if (r.huge || r.magnitude.size() > static_cast<std::size_t>(precision))
      outOfRange("at most " + std::to_string(precision - scale) + " digits before the decimal point");
    if (r.inexact)
      throw std::runtime_error("The value '" + shown() + "' has more decimal places than field '" +
                               column_.name + "' (" + shape + ") holds");
    return Value::decimal(withPoint(n.negative, r.magnitude, scale));
  }

  double toDouble() const {
    switch (value_.kind()) {
      case Value::Kind::Boolean: return value_.asBoolean() ? -1.0 : 0.0;
      case Value::Kind::Integer: return static_cast<double>(value_.asInteger());
      case Value::Kind::Double:
        if (!std::isfinite(value_.asDouble())) outOfRange(finiteRange());
        return value_.asDouble();
      case Value::Kind::DateTime: return value_.asDateTime().toOleDate();
      case Value::Kind::Decimal:
      case Value::Kind::Text: {
        const std::string_view text = trimmed(value_.kind() == Value::Kind::Text ? value_.asText()
                                                                               : value_.asDecimal().text);
        if (!parseNumber(text)) mismatch();
        // from_chars takes no leading '+'.
        const std::string_view digits = text.front() == '+' ? text.substr(1) : text;
        double d = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), d);
        if (result.ec == std::errc::result_out_of_range) {
          // Underflow reads as zero, as Jet reads it; overflow is refused.
          const ExactNumber n = *parseNumber(text);
          if (n.exponent + static_cast<long>(n.digits.size()) < 0) return n.negative ? -0.0 : 0.0;
          outOfRange("-1.79769313486232E+308 to 1.79769313486232E+308");
        }
        return d;
      }
      default: mismatch();
    }
  }

  Value toSingle() const {
    const double d = toDouble();
    if (std::fabs(d) > std::numeric_limits<float>::max()) outOfRange("-3.402823E+38 to 3.402823E+38");
    return Value::real(static_cast<float>(d));
  }

  Value toDateTime() const {
    switch (value_.kind()) {
      case Value::Kind::DateTime: {
        const DateTime& t = value_.asDateTime();
        if (!t.isValid() || t.year < 100 || t.year > 9999) outOfRange("dates from the year 100 to 9999");
        return value_;
      }
      case Value::Kind::Text:
        if (auto t = parseDate(value_.asText())) return Value::dateTime(*t);
        if (!parseNumber(value_.asText())) mismatch();
        break;
      case Value::Kind::Integer:
      case Value::Kind::Double:
      case Value::Kind::Decimal: break;
      default: mismatch();
    }
    // A number is an OLE date: days since 1899-12-30, the time as the fraction.
    const double ole = toDouble();
    if (!(ole >= kFirstOleDate && ole < kEndOleDate)) outOfRange("dates from the year 100 to 9999");
    return Value::dateTime(DateTime::fromOleDate(ole));
  }

  Value toText() const {
    std::string text;
    switch (value_.kind()) {
      case Value::Kind::Boolean: text = value_.asBoolean() ? "True" : "False"; break;
      case Value::Kind::Integer: text = std::to_string(value_.asInteger()); break;
      case Value::Kind::Double: {
        const double d = value_.asDouble();
        if (!std::isfinite(d)) mismatch();
        text = formatSignificant(d, 15);
        break;
      }
      case Value::Kind::Decimal: text = value_.asDecimal().text; break;
      case Value::Kind::DateTime: text = generalDate(value_.asDateTime()); break;
      case Value::Kind::Text: text = value_.asText(); break;
      case Value::Kind::Bytes: text = hexText(value_.asBytes()); break;
      case Value::Kind::Null: break;
    }
    if (column_.type == jet::ColumnType::Text) {
      const std::size_t units = utf16Length(text);
      if (units > column_.textLength) tooLong(units, column_.textLength, "characters");
    }
    // Jet 3 keeps text in the file's code page: characters outside it would
    // be stored as "?", so such a text is refused rather than damaged.
    if (column_.codePage != 0 && !isAscii(text) &&
        platform::fromCodePage(column_.codePage, platform::toCodePage(column_.codePage, text)) != text)
      throw std::runtime_error("The text '" + text + "' has characters that code page " +
                               std::to_string(column_.codePage) + " of this Access 95/97 database cannot hold.");
    return Value::text(std::move(text));
  }

  Value toBytes() const {
    if (value_.kind() != Value::Kind::Bytes) mismatch();
    if (column_.type == jet::ColumnType::Binary && value_.asBytes().size() > column_.length)
      tooLong(value_.asBytes().size(), column_.length, "bytes");
    return value_;
  }

  Value toGuid() const {
    if (value_.kind() == Value::Kind::Text) {
      if (auto guid = parseGuid(value_.asText())) return Value::text(*guid);
    } else if (value_.kind() == Value::Kind::Bytes && value_.asBytes().size() == 16) {
      return Value::text(guidFromBytes(value_.asBytes()));
    }
    mismatch();
  }

  const jet::Column& column_;
  const Value& value_;
};

}  // namespace

Value convertForColumn(const jet::Column& column, const Value& value) {
  return Converter(column, value).run();
}

}  // namespace fennick
