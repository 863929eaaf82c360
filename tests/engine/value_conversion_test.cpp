// Source values into Jet columns: each source kind against each column type,
// with the results Jet stores and the refusals it makes.
#include "value_conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fixtures.h"
#include "jet/database.h"
#include "test_support.h"

namespace fennick {
namespace {

using jet::ColumnType;

jet::Column column(ColumnType type, std::uint16_t size = 0, std::uint8_t precision = 0, std::uint8_t scale = 0) {
  jet::Column c;
  c.name = "Amount";
  c.type = type;
  c.textLength = type == ColumnType::Text ? size : 0;
  c.length = type == ColumnType::Binary ? size : 0;
  c.precision = precision;
  c.scale = scale;
  return c;
}

// A text column of an Access 95/97 file, which holds text in a code page.
jet::Column inCodePage(jet::Column c, std::uint16_t codePage) {
  c.codePage = codePage;
  return c;
}

Value i(long long v) { return Value::integer(v); }
Value d(double v) { return Value::real(v); }
Value dec(const char* t) { return Value::decimal(t); }
Value txt(const char* t) { return Value::text(t); }
Value date(int y, int mo, int dd, int h = 0, int mi = 0, int s = 0) {
  return Value::dateTime(DateTime{y, mo, dd, h, mi, s, 0});
}

// What a conversion must give: a value, or an error whose message contains
// `refusal`.
struct Expect {
  std::optional<Value> stored;
  std::string refusal;
};
Expect is(Value v) { return {std::move(v), ""}; }
Expect refused(std::string why) { return {std::nullopt, std::move(why)}; }

const std::string kMismatch = "Data type mismatch in field 'Amount'";
const std::string kRange = "out of range for field 'Amount'";
const std::string kTooSmall = "The field is too small to accept the amount of data you attempted to add";

struct Case {
  jet::Column target;
  Value source;
  Expect expected;
};

TEST(ValueConversion, EachSourceKindIntoEachColumnType) {
  const Bytes blob{0x01, 0xAB, 0xFF};
  const Case cases[] = {
      // Null into anything stays Null.
      {column(ColumnType::Long), Value::null(), is(Value::null())},
      {column(ColumnType::Text, 5), Value::null(), is(Value::null())},
      {column(ColumnType::Guid), Value::null(), is(Value::null())},

      // Boolean
      {column(ColumnType::Boolean), Value::boolean(true), is(Value::boolean(true))},
      {column(ColumnType::Boolean), i(0), is(Value::boolean(false))},
      {column(ColumnType::Boolean), i(-7), is(Value::boolean(true))},
      {column(ColumnType::Boolean), d(0.5), is(Value::boolean(true))},
      {column(ColumnType::Boolean), dec("0.00"), is(Value::boolean(false))},
      {column(ColumnType::Boolean), txt(" yes "), is(Value::boolean(true))},
      {column(ColumnType::Boolean), txt("False"), is(Value::boolean(false))},
      {column(ColumnType::Boolean), txt("2"), is(Value::boolean(true))},
      {column(ColumnType::Boolean), txt("maybe"), refused(kMismatch)},
      {column(ColumnType::Boolean), date(2020, 1, 1), refused(kMismatch)},
      {column(ColumnType::Boolean), Value::bytes(blob), refused(kMismatch)},

      // Byte: 0 to 255; True is -1 and so out of range.
      {column(ColumnType::Byte), i(255), is(i(255))},
      {column(ColumnType::Byte), i(256), refused(kRange)},
      {column(ColumnType::Byte), i(-1), refused(kRange)},
      {column(ColumnType::Byte), d(-0.4), is(i(0))},
      {column(ColumnType::Byte), Value::boolean(true), refused(kRange)},
      {column(ColumnType::Byte), Value::boolean(false), is(i(0))},

      // Integer: 16 bits, halves to even.
      {column(ColumnType::Integer), i(-32768), is(i(-32768))},
      {column(ColumnType::Integer), i(32768), refused(kRange)},
      {column(ColumnType::Integer), d(34.5), is(i(34))},
      {column(ColumnType::Integer), d(35.5), is(i(36))},
      {column(ColumnType::Integer), d(-2.5), is(i(-2))},
      {column(ColumnType::Integer), d(2.5000001), is(i(3))},
      {column(ColumnType::Integer), dec("32767.4"), is(i(32767))},
      {column(ColumnType::Integer), dec("32767.5"), refused(kRange)},
      {column(ColumnType::Integer), txt(" -12 "), is(i(-12))},
      {column(ColumnType::Integer), txt("1e3"), is(i(1000))},
      {column(ColumnType::Integer), txt("12,5"), refused(kMismatch)},
      {column(ColumnType::Integer), txt(""), refused(kMismatch)},
      {column(ColumnType::Integer), Value::boolean(true), is(i(-1))},
      {column(ColumnType::Integer), date(1900, 1, 1), is(i(2))},
      {column(ColumnType::Integer), Value::bytes(blob), refused(kMismatch)},

      // Long
      {column(ColumnType::Long), i(2147483647), is(i(2147483647))},
      {column(ColumnType::Long), i(-2147483648LL), is(i(-2147483648LL))},
      {column(ColumnType::Long), i(2147483648LL), refused(kRange)},
      {column(ColumnType::Long), d(1e300), refused(kRange)},
      {column(ColumnType::Long), d(std::numeric_limits<double>::quiet_NaN()), refused(kRange)},
      {column(ColumnType::Long), txt("1e99999999999"), refused(kRange)},
      {column(ColumnType::Long), dec("-0.5"), is(i(0))},

      // Currency: four decimals, halves to even, 64-bit range.
      {column(ColumnType::Currency), i(12), is(dec("12.0000"))},
      {column(ColumnType::Currency), d(1.23456), is(dec("1.2346"))},
      {column(ColumnType::Currency), dec("0.00005"), is(dec("0.0000"))},
      {column(ColumnType::Currency), dec("0.00015"), is(dec("0.0002"))},
      {column(ColumnType::Currency), dec("-0.99995"), is(dec("-1.0000"))},
      {column(ColumnType::Currency), dec("-0.00001"), is(dec("0.0000"))},
      {column(ColumnType::Currency), dec("922337203685477.5807"), is(dec("922337203685477.5807"))},
      {column(ColumnType::Currency), dec("922337203685477.5808"), refused(kRange)},
      {column(ColumnType::Currency), dec("-922337203685477.5808"), is(dec("-922337203685477.5808"))},
      {column(ColumnType::Currency), txt("3.5"), is(dec("3.5000"))},
      {column(ColumnType::Currency), Value::boolean(true), is(dec("-1.0000"))},
      {column(ColumnType::Currency), txt("abc"), refused(kMismatch)},

      // Numeric(p,s): exact; too many decimals or digits refused.
      {column(ColumnType::Numeric, 0, 10, 2), dec("12.5"), is(dec("12.50"))},
      {column(ColumnType::Numeric, 0, 10, 2), dec("-0.10"), is(dec("-0.10"))},
      {column(ColumnType::Numeric, 0, 10, 2), dec("1.230"), is(dec("1.23"))},
      {column(ColumnType::Numeric, 0, 10, 2), dec("1.234"), refused("more decimal places than field 'Amount'")},
      {column(ColumnType::Numeric, 0, 10, 2), dec("99999999.99"), is(dec("99999999.99"))},
      {column(ColumnType::Numeric, 0, 10, 2), dec("100000000"), refused(kRange)},
      {column(ColumnType::Numeric, 0, 28, 0), dec("9999999999999999999999999999"),
       is(dec("9999999999999999999999999999"))},
      {column(ColumnType::Numeric, 0, 10, 2), i(-42), is(dec("-42.00"))},
      {column(ColumnType::Numeric, 0, 10, 2), d(0.25), is(dec("0.25"))},
      {column(ColumnType::Numeric, 0, 10, 2), txt("7"), is(dec("7.00"))},

      // Single and Double
      {column(ColumnType::Single), d(0.1), is(d(static_cast<float>(0.1)))},
      {column(ColumnType::Single), d(1e39), refused(kRange)},
      {column(ColumnType::Single), i(3), is(d(3.0))},
      {column(ColumnType::Double), i(-5), is(d(-5.0))},
      {column(ColumnType::Double), dec("0.1"), is(d(0.1))},
      {column(ColumnType::Double), txt("+2.5E-3"), is(d(0.0025))},
      {column(ColumnType::Double), txt("1e-400"), is(d(0.0))},
      {column(ColumnType::Double), txt("1e400"), refused(kRange)},
      {column(ColumnType::Double), d(std::numeric_limits<double>::infinity()), refused(kRange)},
      {column(ColumnType::Double), Value::boolean(true), is(d(-1.0))},
      {column(ColumnType::Double), date(1899, 12, 31, 12), is(d(1.5))},
      {column(ColumnType::Double), txt("1.5.2"), refused(kMismatch)},
      {column(ColumnType::Double), Value::bytes(blob), refused(kMismatch)},

      // DateTime: years 100 to 9999; numbers as OLE dates.
      {column(ColumnType::DateTime), date(2026, 12, 9, 23, 5), is(date(2026, 12, 9, 23, 5))},
      {column(ColumnType::DateTime), date(99, 12, 31), refused(kRange)},
      {column(ColumnType::DateTime), d(1.5), is(date(1899, 12, 31, 12))},
      {column(ColumnType::DateTime), i(2), is(date(1900, 1, 1))},
      {column(ColumnType::DateTime), d(3e6), refused(kRange)},
      {column(ColumnType::DateTime), txt("2026-12-09 23:05:01"), is(date(2026, 12, 9, 23, 5, 1))},
      {column(ColumnType::DateTime), txt("2026-12-09T07:00"), is(date(2026, 12, 9, 7))},
      {column(ColumnType::DateTime), txt("12/9/2026 11:05:00 PM"), is(date(2026, 12, 9, 23, 5))},
      {column(ColumnType::DateTime), txt("1/2/2003"), is(date(2003, 1, 2))},
      {column(ColumnType::DateTime), txt("12:30:00 AM"), is(date(1899, 12, 30, 0, 30))},
      {column(ColumnType::DateTime), txt("2026-02-30"), refused(kMismatch)},
      {column(ColumnType::DateTime), txt("soon"), refused(kMismatch)},
      {column(ColumnType::DateTime), Value::boolean(true), refused(kMismatch)},

      // Text(n) and Memo: numbers, dates and bytes as Jet writes them.
      {column(ColumnType::Text, 20), i(-123), is(txt("-123"))},
      {column(ColumnType::Text, 20), d(0.1), is(txt("0.1"))},
      {column(ColumnType::Text, 20), d(1.0 / 3), is(txt("0.333333333333333"))},
      {column(ColumnType::Text, 20), d(123456789012345.0), is(txt("123456789012345"))},
      {column(ColumnType::Text, 20), d(1e15), is(txt("1E+15"))},
      {column(ColumnType::Text, 20), d(-1.5e-7), is(txt("-1.5E-07"))},
      {column(ColumnType::Text, 20), d(0.0001), is(txt("0.0001"))},
      {column(ColumnType::Text, 20), dec("-12.50"), is(txt("-12.50"))},
      {column(ColumnType::Text, 20), Value::boolean(false), is(txt("False"))},
      {column(ColumnType::Text, 30), date(2026, 12, 9, 23, 5), is(txt("12/9/2026 11:05:00 PM"))},
      {column(ColumnType::Text, 30), date(2026, 1, 2), is(txt("1/2/2026"))},
      {column(ColumnType::Text, 30), date(1899, 12, 30, 0, 0, 7), is(txt("12:00:07 AM"))},
      {column(ColumnType::Text, 6), Value::bytes(blob), is(txt("01ABFF"))},
      {column(ColumnType::Text, 3), txt("\xC3\xA9t\xC3\xA9"), is(txt("\xC3\xA9t\xC3\xA9"))},
      {column(ColumnType::Text, 2), txt("\xC3\xA9t\xC3\xA9"), refused(kTooSmall)},
      {column(ColumnType::Text, 1), txt("\xF0\x9F\x98\x80"), refused(kTooSmall)},  // two UTF-16 units
      {column(ColumnType::Text, 3), i(1234), refused(kTooSmall)},
      {column(ColumnType::Memo), txt(std::string(70000, 'x').c_str()), is(txt(std::string(70000, 'x').c_str()))},
      {column(ColumnType::Memo), i(7), is(txt("7"))},
      {inCodePage(column(ColumnType::Text, 10), 1252), txt("Z\xC3\xBCrich"), is(txt("Z\xC3\xBCrich"))},
      {inCodePage(column(ColumnType::Text, 10), 1252), txt("\xE5\x8C\x97\xE4\xBA\xAC"), refused("code page 1252")},
      {inCodePage(column(ColumnType::Memo), 1252), txt("\xE5\x8C\x97"), refused("cannot hold")},
      {inCodePage(column(ColumnType::Memo), 936), txt("\xE5\x8C\x97\xE4\xBA\xAC"), is(txt("\xE5\x8C\x97\xE4\xBA\xAC"))},

      // Binary(n) and OLE take bytes only.
      {column(ColumnType::Binary, 3), Value::bytes(blob), is(Value::bytes(blob))},
      {column(ColumnType::Binary, 2), Value::bytes(blob), refused(kTooSmall)},
      {column(ColumnType::Binary, 10), txt("01AB"), refused(kMismatch)},
      {column(ColumnType::Ole), Value::bytes(Bytes(100000, 7)), is(Value::bytes(Bytes(100000, 7)))},
      {column(ColumnType::Ole), i(1), refused(kMismatch)},

      // GUID: text in the usual forms, or sixteen bytes.
      {column(ColumnType::Guid), txt("{6a2f0c1e-3b4d-4e5f-8a9b-0c1d2e3f4a5b}"),
       is(txt("{6A2F0C1E-3B4D-4E5F-8A9B0C1D2E3F4A5B}"))},
      {column(ColumnType::Guid), txt("6A2F0C1E3B4D4E5F8A9B0C1D2E3F4A5B"),
       is(txt("{6A2F0C1E-3B4D-4E5F-8A9B0C1D2E3F4A5B}"))},
      {column(ColumnType::Guid),
       Value::bytes(Bytes{0x1E, 0x0C, 0x2F, 0x6A, 0x4D, 0x3B, 0x5F, 0x4E, 0x8A, 0x9B, 0x0C, 0x1D, 0x2E, 0x3F,
                          0x4A, 0x5B}),
       is(txt("{6A2F0C1E-3B4D-4E5F-8A9B0C1D2E3F4A5B}"))},
      {column(ColumnType::Guid), txt("{6A2F0C1E-3B4D}"), refused(kMismatch)},
      {column(ColumnType::Guid), i(5), refused(kMismatch)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(jet::columnTypeName(c.target.type)) + " <- " + kindName(c.source.kind()) + " '" +
                 c.source.toDisplayString().substr(0, 40) + "'");
    if (c.expected.stored) {
      EXPECT_EQ(convertForColumn(c.target, c.source), *c.expected.stored);
    } else {
      try {
        const Value got = convertForColumn(c.target, c.source);
        ADD_FAILURE() << "stored '" << got.toDisplayString() << "' instead of refusing";
      } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(c.expected.refusal), std::string::npos) << e.what();
      }
    }
  }
}

TEST(ValueConversion, RefusalsNameTheFieldTypeAndValue) {
  jet::Column c = column(ColumnType::Integer);
  c.name = "Qty";
  try {
    convertForColumn(c, Value::text("many"));
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Data type mismatch in field 'Qty': the text value 'many' cannot be stored as Integer");
  }
  try {
    convertForColumn(c, Value::integer(40000));
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "The value '40000' is out of range for field 'Qty' (Integer holds -32768 to 32767)");
  }
}

// Hostile text into every type either converts or is refused with a
// message: no crash, no unbounded work on huge exponents or long digits.
TEST(ValueConversion, MalformedTextIsRefusedCleanly) {
  const std::string inputs[] = {"", " ", "-", "+.", ".", "e5", "1e", "1e+", "--1", "1-", "0x10", "inf", "nan",
                                "1e2147483648", "1e-2147483649", "9" + std::string(5000, '9'),
                                "0." + std::string(5000, '0') + "1", "1/1/1", "99/99/9999", "2026-13-01",
                                "10:61", "13:00 PM", "{}", "{" + std::string(32, 'g') + "}",
                                std::string("\0\xff\xfe", 3), "\xC3", "TRUE ish"};
  const jet::Column columns[] = {column(ColumnType::Boolean),  column(ColumnType::Byte),
                                 column(ColumnType::Integer),  column(ColumnType::Long),
                                 column(ColumnType::Currency), column(ColumnType::Numeric, 0, 28, 6),
                                 column(ColumnType::Single),   column(ColumnType::Double),
                                 column(ColumnType::DateTime), column(ColumnType::Text, 255),
                                 column(ColumnType::Memo),     column(ColumnType::Binary, 10),
                                 column(ColumnType::Ole),      column(ColumnType::Guid)};
  for (const auto& c : columns) {
    for (const auto& text : inputs) {
      try {
        convertForColumn(c, Value::text(text));
        convertForColumn(c, Value::decimal(text));
      } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("'Amount'"), std::string::npos) << e.what();
      }
    }
  }
}

// Every value real Access files hold, set back into its own column, stores
// unchanged, also when it arrives as text: the conversion produces exactly
// the form the reader gives (and the reader is held to mdbtools by its own
// tests).
TEST(ValueConversion, StoredValuesOfTheFixturesConvertToThemselves) {
  std::size_t checked = 0;
  for (const auto& name : test::accessFixtures()) {
    const auto database = jet::Database::open(test::accessFixturePath(name), jet::OpenMode::ReadOnly);
    for (const auto& table : database.tables()) {
      if (table.system) continue;
      auto rows = database.openCursor(table.name);
      const auto& columns = rows.definition().columns;
      while (rows.next()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
          const Value& stored = rows.values()[i];
          if (columns[i].type == jet::ColumnType::Unsupported) continue;
          SCOPED_TRACE(name + " " + table.name + "." + columns[i].name);
          EXPECT_EQ(convertForColumn(columns[i], stored), stored) << stored.toDisplayString();
          // The same value as text, the way a source may deliver it.
          if (!stored.isNull() && stored.kind() != Value::Kind::Bytes) {
            EXPECT_EQ(convertForColumn(columns[i], Value::text(stored.toDisplayString())), stored)
                << stored.toDisplayString();
          }
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000u);
}

}  // namespace
}  // namespace fennick
