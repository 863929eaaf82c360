// Field decoding, type by type.
#include "field_codec.h"

#include <array>
#include <cstring>

#include "bytes.h"
#include "long_value.h"

namespace fennick::jet {
namespace {

constexpr std::size_t kNumericSize = 17;

template <typename T>
T load(std::span<const std::uint8_t> b) {
  T v;
  std::memcpy(&v, b.data(), sizeof v);
  return v;
}

// Digits of an unsigned 128-bit value held as four 32-bit words, most
// significant first.
std::string digits128(std::array<std::uint32_t, 4> words) {
  std::string reversed;
  while (words[0] | words[1] | words[2] | words[3]) {
    std::uint64_t remainder = 0;
    for (auto& w : words) {
      const std::uint64_t current = (remainder << 32) | w;
      w = static_cast<std::uint32_t>(current / 10);
      remainder = current % 10;
    }
    reversed.push_back(static_cast<char>('0' + remainder));
  }
  if (reversed.empty()) reversed = "0";
  return std::string(reversed.rbegin(), reversed.rend());
}

// Inserts the decimal point `scale` digits from the right.
std::string scaled(bool negative, std::string digits, unsigned scale) {
  if (scale > 0) {
    if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
    digits.insert(digits.size() - scale, 1, '.');
  }
  if (negative && digits.find_first_not_of("0.") != std::string::npos) digits.insert(0, 1, '-');
  return digits;
}

}  // namespace

std::string currencyText(std::int64_t v) {
  const bool negative = v < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  return scaled(negative, std::to_string(magnitude), 4);
}

std::string guidText(std::span<const std::uint8_t, 16> b) {
  // The first three groups are little-endian numbers, the last eight bytes
  // follow in order as one group, the way mdbtools (and so existing
  // conversions' users) print a Replication ID.
  static constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8) out.push_back('-');
    out.push_back(hex[b[order[i]] >> 4]);
    out.push_back(hex[b[order[i]] & 15]);
  }
  out.push_back('}');
  return out;
}

fennick::Value decodeField(const Column& c, std::span<const std::uint8_t> b, Pager& pager, const TextCodec& text) {
  auto need = [&](std::size_t size) {
    if (b.size() < size)
      throwDamaged(pager.path(), "column \"" + c.name + "\" holds " + std::to_string(b.size()) +
                                     " bytes where its type needs " + std::to_string(size));
  };
  switch (c.type) {
    case ColumnType::Boolean:
      return fennick::Value::boolean(false);  // the row layout decides; never stored here
    case ColumnType::Byte: need(1); return fennick::Value::integer(b[0]);
    case ColumnType::Integer: need(2); return fennick::Value::integer(load<std::int16_t>(b));
    case ColumnType::Long: need(4); return fennick::Value::integer(load<std::int32_t>(b));
    case ColumnType::Currency: need(8); return fennick::Value::decimal(currencyText(load<std::int64_t>(b)));
    case ColumnType::Single: need(4); return fennick::Value::real(load<float>(b));
    case ColumnType::Double: need(8); return fennick::Value::real(load<double>(b));
    case ColumnType::DateTime: {
      need(8);
      const double ole = load<double>(b);
      // Beyond the years 100-9999 Access itself cannot show the value; keep
      // the raw number rather than invent a date.
      if (!(ole > -657435.0 && ole < 2958466.0)) return fennick::Value::real(ole);
      return fennick::Value::dateTime(fennick::DateTime::fromOleDate(ole));
    }
    case ColumnType::Guid: need(16); return fennick::Value::text(guidText(b.first<16>()));
    case ColumnType::Numeric: {
      need(kNumericSize);
      // A sign byte, then the 128-bit magnitude as four little-endian words,
      // the most significant word first.
      std::array<std::uint32_t, 4> words;
      for (int i = 0; i < 4; ++i) words[i] = loadU32(b.data() + 1 + 4 * i);
      return fennick::Value::decimal(scaled(b[0] & 0x80, digits128(words), c.scale));
    }
    case ColumnType::Text: return fennick::Value::text(text.decode(b));
    case ColumnType::Binary: return fennick::Value::bytes(fennick::Bytes(b.begin(), b.end()));
    case ColumnType::Memo: {
      const auto stored = readLongValue(pager, b, c.name);
      return fennick::Value::text(text.decode(stored));
    }
    case ColumnType::Ole: return fennick::Value::bytes(readLongValue(pager, b, c.name));
    case ColumnType::Unsupported: break;
  }
  return fennick::Value::bytes(fennick::Bytes(b.begin(), b.end()));
}

}  // namespace fennick::jet
