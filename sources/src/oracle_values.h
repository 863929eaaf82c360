// Oracle's own byte forms of NUMBER and DATE, as a define of type SQLT_NUM
// or SQLT_DAT delivers them, decoded into Values. Reading these forms rather
// than text keeps every digit and does not depend on the session's number
// and date formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/value.h"

namespace fennick {

// A NUMBER (1 to 22 bytes: exponent byte, base-100 mantissa) as Integer when
// it is integral and fits 64 bits, as Double when a double gives back the
// same digits, otherwise as Decimal text with all digits. Infinities come
// back as Double. nullopt for bytes that are not a NUMBER.
std::optional<Value> decodeOracleNumber(const std::uint8_t* bytes, std::size_t length);

// A DATE's 7 bytes (century+100, year+100, month, day, hour+1, minute+1,
// second+1); nullopt when a field is out of range.
std::optional<DateTime> decodeOracleDate(const std::uint8_t* bytes, std::size_t length);

// The same choice of Integer, Double or Decimal for a number already in
// canonical decimal text ("-12.5", "0.001", "123": no exponent, no leading
// or trailing zeros).
Value classifyDecimalText(const std::string& text);

}  // namespace fennick
