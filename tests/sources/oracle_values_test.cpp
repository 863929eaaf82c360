// Oracle NUMBER and DATE bytes, as Oracle's DUMP() shows them, decoded into
// the Value kinds the conversion relies on.
#include <gtest/gtest.h>

#include <vector>

#include "oracle_values.h"

namespace fennick {
namespace {

struct NumberCase {
  std::vector<std::uint8_t> bytes;
  Value expected;
};

TEST(OracleValues, NumbersKeepTheirKindAndDigits) {
  const std::string nines38(38, '9');
  const NumberCase cases[] = {
      {{0x80}, Value::integer(0)},
      {{0xC1, 0x02}, Value::integer(1)},
      {{0x3E, 0x64, 0x66}, Value::integer(-1)},
      {{0xC2, 0x02, 0x18, 0x2E}, Value::real(123.45)},
      {{0x3D, 0x64, 0x4E, 0x38, 0x66}, Value::real(-123.45)},
      {{0xC0, 0x0B}, Value::real(0.1)},
      {{0xBF, 0x0B}, Value::real(0.001)},
      {{0xCB, 0x02}, Value::real(1e20)},
      {{0xCA, 10, 23, 34, 73, 4, 69, 55, 78, 59, 8}, Value::integer(9223372036854775807)},
      {{0xD3, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100},
       Value::decimal(nines38)},
      // 0.12345678901234567891: more digits than a double keeps.
      {{0xC0, 13, 35, 57, 79, 91, 13, 35, 57, 79, 92}, Value::decimal("0.12345678901234567891")},
  };
  for (const auto& c : cases) {
    auto value = decodeOracleNumber(c.bytes.data(), c.bytes.size());
    ASSERT_TRUE(value.has_value()) << c.expected.toDisplayString();
    EXPECT_EQ(*value, c.expected) << "got " << value->toDisplayString() << " (" << kindName(value->kind()) << ")";
  }
}

TEST(OracleValues, MalformedNumbersAreRefused) {
  const std::vector<std::vector<std::uint8_t>> bad = {
      {}, {0xC1}, {0xC1, 0xFF}, {0x3E, 0x66}, std::vector<std::uint8_t>(23, 0xC1)};
  for (const auto& bytes : bad) EXPECT_FALSE(decodeOracleNumber(bytes.data(), bytes.size()).has_value());
}

TEST(OracleValues, DatesDecodeAndInvalidOnesAreRefused) {
  const std::uint8_t leapDay[] = {120, 124, 2, 29, 14, 46, 8};
  auto date = decodeOracleDate(leapDay, sizeof leapDay);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(date->toIsoString(), "2024-02-29 13:45:07");

  const std::uint8_t noLeapDay[] = {120, 123, 2, 29, 1, 1, 1};
  EXPECT_FALSE(decodeOracleDate(noLeapDay, sizeof noLeapDay).has_value());
  const std::uint8_t badHour[] = {120, 124, 1, 1, 25, 1, 1};
  EXPECT_FALSE(decodeOracleDate(badHour, sizeof badHour).has_value());
  EXPECT_FALSE(decodeOracleDate(leapDay, 6).has_value());
}

}  // namespace
}  // namespace fennick

namespace fennick {
namespace {

// Whatever bytes a client library hands back, decoding answers or refuses;
// it never reads past them. Every exponent byte with every first digit
// byte, alone and followed by the negative terminator.
TEST(OracleValues, AnyShortByteStringIsDecodedOrRefused) {
  std::size_t accepted = 0;
  for (int exponent = 0; exponent < 256; ++exponent) {
    for (int digit = 0; digit < 256; ++digit) {
      for (std::size_t length : {2u, 3u}) {
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(exponent), static_cast<std::uint8_t>(digit),
                                           102};
        bytes.resize(length);
        if (auto value = decodeOracleNumber(bytes.data(), bytes.size())) {
          ++accepted;
          EXPECT_FALSE(value->isNull());
        }
      }
    }
  }
  EXPECT_GT(accepted, 0u);
}

}  // namespace
}  // namespace fennick
