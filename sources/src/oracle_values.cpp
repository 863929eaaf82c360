// Decoding Oracle NUMBER and DATE bytes. A NUMBER is an exponent byte and up
// to 20 base-100 digits: positive numbers store the exponent as 0xC1 plus
// the power of 100 of the first digit pair and each pair plus one; negative
// numbers store the exponent's complement, each pair as 101 minus it, and end
// with 102 when shorter than 21 bytes. Zero is the single byte 0x80.
#include "oracle_values.h"

#include <charconv>
#include <limits>
#include <string>

namespace fennick {

namespace {

constexpr std::size_t kMaxNumberLength = 22;

// Digits "ddd" with a decimal point after `pointAt` of them (which may lie
// before or beyond the digits), as canonical text: no leading zeros in the
// whole part, no trailing zeros in the fraction.
std::string placePoint(const std::string& digits, long pointAt, bool negative) {
  std::string whole, fraction;
  if (pointAt <= 0) {
    fraction = std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
  } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
    whole = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
  } else {
    whole = digits.substr(0, static_cast<std::size_t>(pointAt));
    fraction = digits.substr(static_cast<std::size_t>(pointAt));
  }
  std::size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = negative ? "-" : "";
  text += whole;
  if (!fraction.empty()) text += "." + fraction;
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

Value classifyDecimalText(const std::string& text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (text.find('.') == std::string::npos) {
    std::int64_t integer = 0;
    auto [ptr, ec] = std::from_chars(begin, end, integer);
    if (ec == std::errc() && ptr == end) return Value::integer(integer);
  }
  double real = 0;
  auto [ptr, ec] = std::from_chars(begin, end, real);
  if (ec == std::errc() && ptr == end) {
    // The shortest fixed form that reads back as the same double; equal
    // text means the double holds the number without losing a digit.
    char buffer[400];
    auto written = std::to_chars(buffer, buffer + sizeof buffer, real, std::chars_format::fixed);
    if (written.ec == std::errc() && std::string(buffer, written.ptr) == text) return Value::real(real);
  }
  return Value::decimal(text);
}

std::optional<Value> decodeOracleNumber(const std::uint8_t* bytes, std::size_t length) {
  if (!bytes || length == 0 || length > kMaxNumberLength) return std::nullopt;
  std::uint8_t exponentByte = bytes[0];
  if (length == 1) {
    if (exponentByte == 0x80) return Value::integer(0);
    if (exponentByte == 0x00) return Value::real(-std::numeric_limits<double>::infinity());
    return std::nullopt;
  }
  if (exponentByte == 0xFF && length == 2 && bytes[1] == 101)
    return Value::real(std::numeric_limits<double>::infinity());

  bool negative = (exponentByte & 0x80) == 0;
  int exponent = negative ? 0x3E - exponentByte : exponentByte - 0xC1;
  std::size_t mantissaEnd = length;
  if (negative && bytes[length - 1] == 102) --mantissaEnd;
  if (mantissaEnd <= 1) return std::nullopt;

  std::string digits;
  for (std::size_t i = 1; i < mantissaEnd; ++i) {
    int pair = negative ? 101 - bytes[i] : bytes[i] - 1;
    if (pair < 0 || pair > 99) return std::nullopt;
    digits += static_cast<char>('0' + pair / 10);
    digits += static_cast<char>('0' + pair % 10);
  }
  long pointAt = 2L * (exponent + 1);
  return classifyDecimalText(placePoint(digits, pointAt, negative));
}

std::optional<DateTime> decodeOracleDate(const std::uint8_t* bytes, std::size_t length) {
  if (!bytes || length != 7) return std::nullopt;
  DateTime t;
  t.year = (bytes[0] - 100) * 100 + (bytes[1] - 100);
  t.month = bytes[2];
  t.day = bytes[3];
  t.hour = bytes[4] - 1;
  t.minute = bytes[5] - 1;
  t.second = bytes[6] - 1;
  if (!t.isValid()) return std::nullopt;
  return t;
}

}  // namespace fennick
