// Key bytes of the number, date, binary and GUID column types.
// Relies on nothing beyond the standard library.
#include "type_keys.h"

#include <bit>
#include <cstring>

namespace fennick::jet::keys::detail {

void appendIntegerKey(Bytes& out, std::int64_t value, int width, bool isSigned) {
  auto bits = static_cast<std::uint64_t>(value);
  if (isSigned) bits ^= std::uint64_t{1} << (8 * width - 1);
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

namespace {

template <typename Unsigned>
void appendFloatBits(Bytes& out, Unsigned bits) {
  constexpr int width = sizeof(Unsigned);
  constexpr Unsigned sign = Unsigned{1} << (8 * width - 1);
  bits = (bits & sign) ? static_cast<Unsigned>(~bits) : static_cast<Unsigned>(bits | sign);
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

}  // namespace

void appendDoubleKey(Bytes& out, double value) {
  appendFloatBits(out, std::bit_cast<std::uint64_t>(value));
}

void appendSingleKey(Bytes& out, float value) {
  appendFloatBits(out, std::bit_cast<std::uint32_t>(value));
}

void appendNumericKey(Bytes& out, bool negative, std::span<const std::uint8_t, 16> magnitude) {
  std::uint8_t sign = 0x80;
  if (negative) {
    bool zero = true;
    for (auto b : magnitude) zero = zero && b == 0;
    negative = !zero;  // -0 is 0
  }
  out.push_back(negative ? static_cast<std::uint8_t>(~sign) : sign);
  for (auto b : magnitude) out.push_back(negative ? static_cast<std::uint8_t>(~b) : b);
}

void appendBinaryKey(Bytes& out, std::span<const std::uint8_t> data) {
  constexpr std::size_t piece = 8;
  constexpr std::uint8_t kMoreFollows = 0x09;
  std::size_t pos = 0;
  do {
    std::size_t used = data.size() - pos < piece ? data.size() - pos : piece;
    out.insert(out.end(), data.begin() + pos, data.begin() + pos + used);
    out.insert(out.end(), piece - used, 0);
    pos += used;
    out.push_back(pos < data.size() ? kMoreFollows : static_cast<std::uint8_t>(used));
  } while (pos < data.size());
}

}  // namespace fennick::jet::keys::detail
