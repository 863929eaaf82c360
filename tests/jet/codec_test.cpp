// Field and text codecs on hand-made bytes: the cases the fixtures do not
// reach (compressed text switching modes, characters outside the BMP,
// negative and scaled decimals, the extremes of Currency).
#include <gtest/gtest.h>

#include "field_codec.h"
#include "jet/error.h"
#include "row_layout.h"
#include "fixtures.h"
#include "text.h"

namespace fennick::jet {
namespace {

using B = std::vector<std::uint8_t>;

TEST(JetText, Ucs2AndItsCompressedForm) {
  const struct {
    B stored;
    std::string utf8;
  } cases[] = {
      {{'a', 0, 'b', 0}, "ab"},
      {{0xFF, 0xFE, 'a', 'b', 'c'}, "abc"},
      // Compressed, switch to two-byte mode for U+20AC, back for 'x'.
      {{0xFF, 0xFE, 'a', 0, 0xAC, 0x20, 0, 'x'}, "a\xE2\x82\xAC" "x"},
      // A surrogate pair (U+1F600) in plain UCS-2.
      {{0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
      {{0xE9, 0x00}, "\xC3\xA9"},
      {{}, ""},
      {{'a', 0, 'b'}, "a"},  // odd trailing byte ignored
  };
  for (const auto& c : cases) EXPECT_EQ(decodeUcs2Text(c.stored), c.utf8);
}

TEST(JetText, Jet3TextUsesTheCodePage) {
  const TextCodec codec{&kJet3Format, 1252};
  EXPECT_EQ(codec.decode(B{'C', 'a', 'f', 0xE9}), "Caf\xC3\xA9");
  EXPECT_EQ(codec.decode(B{0x80}), "\xE2\x82\xAC");
}

TEST(JetFields, CurrencyIsExactWithFourDecimals) {
  EXPECT_EQ(currencyText(0), "0.0000");
  EXPECT_EQ(currencyText(35000), "3.5000");
  EXPECT_EQ(currencyText(-1), "-0.0001");
  EXPECT_EQ(currencyText(INT64_MIN), "-922337203685477.5808");
  EXPECT_EQ(currencyText(INT64_MAX), "922337203685477.5807");
}

TEST(JetFields, NumericSignMagnitudeAndScale) {
  Pager pager(platform::File::open(test::accessFixturePath("fixedNumericTestV2000.mdb"), platform::File::Mode::ReadOnly),
              kJet4Format);
  const TextCodec text{&kJet4Format, 1252};
  Column numeric;
  numeric.type = ColumnType::Numeric;
  numeric.name = "n";
  auto bytes = [](std::uint8_t sign, std::array<std::uint32_t, 4> words) {
    B b{sign};
    for (auto w : words)
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    return b;
  };
  const struct {
    B stored;
    std::uint8_t scale;
    std::string text;
  } cases[] = {
      {bytes(0, {0, 0, 0, 12345}), 2, "123.45"},
      {bytes(0x80, {0, 0, 0, 5}), 3, "-0.005"},
      {bytes(0, {0, 0, 1, 0}), 0, "4294967296"},
      {bytes(0, {0, 0x1, 0, 0}), 0, "18446744073709551616"},
      {bytes(0x80, {0, 0, 0, 0}), 2, "0.00"},
  };
  for (const auto& c : cases) {
    numeric.scale = c.scale;
    EXPECT_EQ(decodeField(numeric, c.stored, pager, text).asDecimal().text, c.text);
  }
}

TEST(JetFields, GuidAsMdbtoolsPrintsIt) {
  const std::array<std::uint8_t, 16> b = {0xA0, 0x6C, 0x09, 0x8F, 0x16, 0xFC, 0x88, 0x42,
                                          0x80, 0x1E, 0x11, 0x9F, 0x26, 0xC0, 0xB6, 0xFC};
  EXPECT_EQ(guidText(b), "{8F096CA0-FC16-4288-801E119F26C0B6FC}");
}

// A Jet 3 row past 256 bytes: one-byte offsets plus a jump table. Three text
// fields of 200, 100 and 10 bytes start at 1, 201 and 301; the third one and
// the end of data lie past 256, so the jump entry names variable field 2.
TEST(JetRowLayout, Jet3JumpTableCarriesOffsetsPast256) {
  TableDefinition def;
  def.name = "T";
  def.variableColumns = 3;
  for (std::uint16_t i = 0; i < 3; ++i) {
    Column c;
    c.name = "c" + std::to_string(i);
    c.type = ColumnType::Text;
    c.number = i;
    c.varIndex = i;
    def.columns.push_back(c);
  }
  B row(318, 'x');
  row[0] = 3;          // columns in the row
  row[311] = 311 - 256;  // end of data
  row[312] = 301 - 256;
  row[313] = 201;
  row[314] = 1;
  row[315] = 2;        // jump table: fields from index 2 on add 256
  row[316] = 3;        // variable fields
  row[317] = 0x07;     // null mask: all present
  std::vector<FieldSlice> fields;
  const std::string path = "t.mdb", table = "T";
  splitRow(kJet3Format, def, row, fields, RowPlace{path, table, 1, 0});
  ASSERT_EQ(fields.size(), 3u);
  const std::pair<std::uint32_t, std::uint32_t> expected[] = {{1, 200}, {201, 100}, {301, 10}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(fields[i].isNull);
    EXPECT_EQ(fields[i].offset, expected[i].first) << i;
    EXPECT_EQ(fields[i].length, expected[i].second) << i;
  }
  row[312] = 250;  // now past the end of data: damaged
  EXPECT_THROW(splitRow(kJet3Format, def, row, fields, RowPlace{path, table, 1, 0}), Error);
}

}  // namespace
}  // namespace fennick::jet
