// Key bytes of the non-text column types, ascending, without the column's
// marker byte. The values arrive already checked and converted to the
// column's own range by index_key.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/value.h"

namespace fennick::jet::keys::detail {

// GUIDs are keyed as 16 bytes of binary data in the order the row holds them.

// Big-endian, `width` bytes; signed types get their sign bit flipped so
// that negative numbers sort first.
void appendIntegerKey(Bytes& out, std::int64_t value, int width, bool isSigned);

// IEEE bytes, big-endian: the sign bit flipped for positive numbers, every
// bit flipped for negative ones. Dates are their OLE date as a double.
void appendDoubleKey(Bytes& out, double value);
void appendSingleKey(Bytes& out, float value);

// Numeric: one sign byte and the unscaled magnitude as 16 big-endian bytes,
// all inverted for a negative number.
void appendNumericKey(Bytes& out, bool negative, std::span<const std::uint8_t, 16> magnitude);

// Binary data in 8-byte pieces, each followed by 0x09 if more follow and
// otherwise by the count of bytes used in it (the rest of it zero).
void appendBinaryKey(Bytes& out, std::span<const std::uint8_t> data);

}  // namespace fennick::jet::keys::detail
