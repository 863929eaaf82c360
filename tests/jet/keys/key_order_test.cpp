// Keys compare, as byte strings, in the order Access sorts the values; NULL
// and descending columns follow the marker rules; values a column cannot
// hold are refused with a message naming the column.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "jet_keys/index_key.h"
#include "key_test_util.h"

namespace fennick::jet {
namespace {

using test::toHex;

Bytes keyOf(ColumnType type, const Value& v, bool ascending = true, JetFormat format = JetFormat::Jet4,
            TextSortOrder order = TextSortOrder::GeneralLegacy, int scale = 0) {
  Bytes key;
  appendKeyPart(key, format, order, KeyColumn{type, ascending, scale, "c"}, v);
  return key;
}

// Each value's key must be strictly greater than the one before it, and
// strictly smaller when the column is descending.
void expectIncreasing(ColumnType type, const std::vector<Value>& sorted,
                      TextSortOrder order = TextSortOrder::GeneralLegacy, int scale = 0) {
  JetFormat format = order == TextSortOrder::General97 ? JetFormat::Jet3 : JetFormat::Jet4;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    Bytes a = keyOf(type, sorted[i - 1], true, format, order, scale);
    Bytes b = keyOf(type, sorted[i], true, format, order, scale);
    EXPECT_LT(a, b) << sorted[i - 1].toDisplayString() << " / " << sorted[i].toDisplayString();
    Bytes da = keyOf(type, sorted[i - 1], false, format, order, scale);
    Bytes db = keyOf(type, sorted[i], false, format, order, scale);
    EXPECT_GT(da, db) << sorted[i - 1].toDisplayString() << " / " << sorted[i].toDisplayString();
  }
}

Value i(std::int64_t n) { return Value::integer(n); }
Value d(double x) { return Value::real(x); }
Value dec(const char* s) { return Value::decimal(s); }
Value t(const char* s) { return Value::text(s); }

TEST(KeyOrder, Numbers) {
  expectIncreasing(ColumnType::Byte, {Value::null(), i(0), i(1), i(127), i(128), i(255)});
  expectIncreasing(ColumnType::Integer, {Value::null(), i(-32768), i(-1), i(0), i(1), i(256), i(32767)});
  expectIncreasing(ColumnType::Long, {Value::null(), i(std::numeric_limits<std::int32_t>::min()), i(-70000),
                                      i(-1), i(0), i(65536), i(std::numeric_limits<std::int32_t>::max())});
  expectIncreasing(ColumnType::Currency, {Value::null(), dec("-922337203685477.5808"), i(-2), dec("-1.0001"),
                                          i(0), dec("0.0001"), d(1.5), dec("922337203685477.5807")});
  const double inf = std::numeric_limits<double>::infinity();
  expectIncreasing(ColumnType::Double, {Value::null(), d(-inf), d(-1e300), d(-2.5), d(-1e-300), d(0), d(1e-300),
                                        d(1), d(2.5), d(1e300), d(inf)});
  expectIncreasing(ColumnType::Single, {Value::null(), d(-3e38), d(-1), d(-1e-30), d(0), d(0.5), d(3e38)});
  expectIncreasing(ColumnType::DateTime,
                   {Value::null(), Value::dateTime({1800, 1, 1}), Value::dateTime({1899, 12, 29, 18}),
                    Value::dateTime({1899, 12, 30}), Value::dateTime({2024, 2, 29, 12, 0, 1})});
  expectIncreasing(ColumnType::Numeric, {Value::null(), dec("-12345678901234567890.12"), dec("-1.5"), dec("-0.01"),
                                         i(0), dec("0.01"), d(2.25), dec("99999999999999999999999999.99")},
                   TextSortOrder::GeneralLegacy, 2);
}

TEST(KeyOrder, BinaryAndGuid) {
  expectIncreasing(ColumnType::Binary,
                   {Value::null(), Value::bytes({}), Value::bytes({0}), Value::bytes({0, 0}),
                    Value::bytes({0, 0, 0, 0, 0, 0, 0, 0}), Value::bytes({0, 0, 0, 0, 0, 0, 0, 0, 0}),
                    Value::bytes({1}), Value::bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), Value::bytes({255})});
  // Longer than 8 bytes: 8-byte pieces, 0x09 between, the last piece's length at the end.
  EXPECT_EQ(toHex(keyOf(ColumnType::Binary, Value::bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}))),
            "7f0102030405060708" "09" "090a000000000000" "02");
  // A GUID is its 16 row bytes (first three groups little-endian) in two pieces.
  Bytes fromText = keyOf(ColumnType::Guid, t("{01234567-89AB-CDEF-0123-456789ABCDEF}"));
  EXPECT_EQ(toHex(fromText), "7f67452301ab89efcd09012345678" "9abcdef08");
  EXPECT_EQ(fromText, keyOf(ColumnType::Guid, Value::bytes({0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x01,
                                                            0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF})));
}

TEST(KeyOrder, BooleanIsOneByteTrueFirst) {
  EXPECT_EQ(toHex(keyOf(ColumnType::Boolean, Value::boolean(true))), "00");
  EXPECT_EQ(toHex(keyOf(ColumnType::Boolean, Value::boolean(false))), "ff");
  EXPECT_EQ(toHex(keyOf(ColumnType::Boolean, Value::boolean(true), false)), "ff");
  EXPECT_EQ(toHex(keyOf(ColumnType::Boolean, Value::null())), "ff");
}

TEST(KeyOrder, NullMarkers) {
  EXPECT_EQ(toHex(keyOf(ColumnType::Text, Value::null())), "00");
  EXPECT_EQ(toHex(keyOf(ColumnType::Text, Value::null(), false)), "ff");
  EXPECT_EQ(toHex(keyOf(ColumnType::Long, i(1), false)), "807ffffffe");
}

TEST(KeyOrder, TextInAccessOrder) {
  for (auto order : {TextSortOrder::GeneralLegacy, TextSortOrder::General2010}) {
    expectIncreasing(ColumnType::Text, {Value::null(), t(""), t(" "), t("0"), t("9"), t("a"), t("á"), t("ab"),
                                        t("b"), t("é"), t("éa"), t("z"), t("α"), t("ω"), t("а"), t("я")},
                     order);
    // Case never reaches the key.
    EXPECT_EQ(keyOf(ColumnType::Text, t("Straße"), true, JetFormat::Jet4, order),
              keyOf(ColumnType::Text, t("STRASSE"), true, JetFormat::Jet4, order));
  }
  expectIncreasing(ColumnType::Text, {Value::null(), t(""), t(" "), t("0"), t("a"), t("á"), t("ab"), t("b"),
                                      t("é"), t("z")},
                   TextSortOrder::General97);
  // Hyphen and apostrophe only break ties: "coop" < "co-op" < "cop".
  expectIncreasing(ColumnType::Text, {t("coop"), t("co-op"), t("cop")});
}

TEST(KeyOrder, RefusesValuesTheColumnCannotHold) {
  auto fails = [](ColumnType type, const Value& v, TextSortOrder order = TextSortOrder::GeneralLegacy) {
    try {
      keyOf(type, v, true, JetFormat::Jet4, order);
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("column 'c'"), std::string::npos) << e.what();
      return true;
    }
    return false;
  };
  EXPECT_TRUE(fails(ColumnType::Byte, i(256)));
  EXPECT_TRUE(fails(ColumnType::Integer, i(40000)));
  EXPECT_TRUE(fails(ColumnType::Long, dec("1.5")));
  EXPECT_TRUE(fails(ColumnType::Long, t("12")));
  EXPECT_TRUE(fails(ColumnType::Currency, dec("922337203685477.5808")));
  EXPECT_TRUE(fails(ColumnType::Single, d(1e39)));
  EXPECT_TRUE(fails(ColumnType::Guid, t("{not-a-guid}")));
  EXPECT_TRUE(fails(ColumnType::OleObject, Value::bytes({1})));
  EXPECT_TRUE(fails(ColumnType::Text, t("x"), TextSortOrder::General97));
  EXPECT_TRUE(fails(ColumnType::Numeric, t("x")));
  EXPECT_TRUE(fails(ColumnType::Memo, t(std::string(256, 'm').c_str())));
  EXPECT_TRUE(fails(ColumnType::Currency, d(1e300)));
  EXPECT_TRUE(fails(ColumnType::Numeric, d(std::numeric_limits<double>::infinity())));
  EXPECT_EQ(keyOf(ColumnType::Memo, t("Memo text")), keyOf(ColumnType::Text, t("Memo text")));
  // Small kana are keyed in a part we do not write yet: refused, not guessed.
  EXPECT_THROW(keyOf(ColumnType::Text, t("\xE3\x81\xA3")), std::runtime_error);
  EXPECT_THROW(encodeIndexKey(JetFormat::Jet4, TextSortOrder::GeneralLegacy,
                              std::vector<KeyColumn>{{ColumnType::Long, true, 0, "a"}}, std::vector<Value>{}),
               std::invalid_argument);
}

TEST(KeyOrder, RoundingToTheColumnScale) {
  // Currency keeps four decimals, rounding half away from zero as it is stored.
  EXPECT_EQ(keyOf(ColumnType::Currency, dec("1.00005")), keyOf(ColumnType::Currency, dec("1.0001")));
  EXPECT_EQ(keyOf(ColumnType::Currency, dec("-1.00005")), keyOf(ColumnType::Currency, dec("-1.0001")));
  EXPECT_EQ(toHex(keyOf(ColumnType::Currency, i(1))), "7f8000000000002710");
  EXPECT_EQ(toHex(keyOf(ColumnType::Numeric, dec("-1.5"), true, JetFormat::Jet4, TextSortOrder::GeneralLegacy, 1)),
            "7f7f" "fffffffffffffffffffffffffffffff0");
}

TEST(KeyOrder, ArbitraryTextBytesAreKeyedOrRefusedCleanly) {
  std::uint32_t state = 12345;
  auto nextByte = [&] {
    state = state * 1103515245u + 12345u;
    return static_cast<char>(state >> 16);
  };
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    for (int len = n % 40; len > 0; --len) text.push_back(nextByte());
    for (auto order : {TextSortOrder::General97, TextSortOrder::GeneralLegacy, TextSortOrder::General2010}) {
      try {
        Bytes key = keyOf(ColumnType::Text, Value::text(text), n % 2 == 0,
                          order == TextSortOrder::General97 ? JetFormat::Jet3 : JetFormat::Jet4, order);
        EXPECT_GE(key.size(), 2u);
      } catch (const std::runtime_error&) {
      }
    }
  }
}

}  // namespace
}  // namespace fennick::jet
