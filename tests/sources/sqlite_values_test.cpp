// Values of the SQLite source: each column's cells come back with the kind
// Oracle returns for its type, whatever storage class SQLite chose.
#include <gtest/gtest.h>

#include <string>

#include "sources/sqlite.h"
#include "sqlite_fixture.h"

namespace fennick {
namespace {

// One column per Oracle kind, one row per stored form.
const char* const kValues = R"sql(
  CREATE TABLE V (ID INTEGER PRIMARY KEY, N NUMBER, AMOUNT NUMBER(10,2), BIG NUMBER(38),
                  D DATE, TS "TIMESTAMP(6)", B BLOB, R RAW(4), C CLOB, V VARCHAR2(20),
                  BD BINARY_DOUBLE, T TEXT);
  INSERT INTO V VALUES (1, 42, 12.5, CAST('123456789012345678901234567890.25' AS BLOB),
                        '2024-02-29 13:45:10', '2001-09-09T01:46:40.123456',
                        X'00FF10', X'CAFE', 'Grüße 你好', 'plain', 3, 17);
  INSERT INTO V VALUES (2, 7.0, '19.99', -9007199254740993, 2451545.25, 946684800,
                        'text in a blob', 'AB', 5, 12, '2.5', 'x');
  INSERT INTO V VALUES (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
  INSERT INTO V (ID, D) VALUES (4, 'yesterday');
)sql";

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ns = 0) {
  DateTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  t.nanosecond = ns;
  return t;
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(SqliteValues, EachColumnReturnsItsOracleKind) {
  const auto driver = openSqliteDriver(test::createSqliteFile("values.db", kValues));
  auto rows = driver->query("select * from V where ID < 4 order by ID");

  ASSERT_FALSE(rows->eof());
  EXPECT_EQ(rows->field("N"), Value::integer(42));
  EXPECT_EQ(rows->field("AMOUNT"), Value::real(12.5));
  EXPECT_EQ(rows->field("BIG"), Value::decimal("123456789012345678901234567890.25"));
  EXPECT_EQ(rows->field("D"), Value::dateTime(at(2024, 2, 29, 13, 45, 10)));
  EXPECT_EQ(rows->field("TS"), Value::dateTime(at(2001, 9, 9, 1, 46, 40, 123456000)));
  EXPECT_EQ(rows->field("B"), Value::bytes({0x00, 0xFF, 0x10}));
  EXPECT_EQ(rows->field("R"), Value::bytes({0xCA, 0xFE}));
  EXPECT_EQ(rows->field("C"), Value::text("Grüße 你好"));
  EXPECT_EQ(rows->field("BD"), Value::real(3.0));
  EXPECT_EQ(rows->field("T"), Value::text("17"));

  rows->next();
  EXPECT_EQ(rows->field("N"), Value::integer(7));       // integral double
  EXPECT_EQ(rows->field("AMOUNT"), Value::real(19.99));  // text SQLite made a number
  EXPECT_EQ(rows->field("BIG"), Value::integer(-9007199254740993));
  EXPECT_EQ(rows->field("D"), Value::dateTime(at(2000, 1, 1, 18)));  // Julian day
  EXPECT_EQ(rows->field("TS"), Value::dateTime(at(2000, 1, 1)));     // Unix time
  EXPECT_EQ(rows->field("B"), Value::bytes(bytesOf("text in a blob")));
  EXPECT_EQ(rows->field("R"), Value::bytes(bytesOf("AB")));
  EXPECT_EQ(rows->field("C"), Value::text("5"));
  EXPECT_EQ(rows->field("V"), Value::text("12"));
  EXPECT_EQ(rows->field("BD"), Value::real(2.5));

  rows->next();
  for (std::size_t i = 1; i < rows->fieldCount(); ++i)
    EXPECT_TRUE(rows->value(i).isNull()) << rows->fieldName(i);

  rows->next();
  EXPECT_TRUE(rows->eof());
}

TEST(SqliteValues, LargeObjectColumnsAreMarked) {
  const auto driver = openSqliteDriver(test::createSqliteFile("blobs.db", kValues));
  auto rows = driver->query("select * from V");
  for (const char* name : {"B", "R"}) EXPECT_TRUE(rows->isBlob(rows->fieldIndex(name))) << name;
  for (const char* name : {"C", "V", "N", "D"})
    EXPECT_FALSE(rows->isBlob(rows->fieldIndex(name))) << name;
}

TEST(SqliteValues, DateColumnWithoutADateNamesTheColumnAndValue) {
  const auto driver = openSqliteDriver(test::createSqliteFile("baddate.db", kValues));
  try {
    driver->query("select D from V where ID = 4");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Column 'D' holds 'yesterday', which is not a date");
  }
}

// Rows are read ahead in batches on a thread of the dataset's own: many
// rows come in order, a bad cell stops them after the rows before it, two
// datasets read side by side on one connection, and one left half-read
// closes cleanly.
TEST(SqliteValues, RowsReadAheadArriveInOrderUpToTheirFirstFault) {
  const auto driver = openSqliteDriver(test::createSqliteFile(
      "ahead.db",
      "CREATE TABLE R (ID INTEGER, D DATE);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
      "INSERT INTO R SELECT i, CASE WHEN i = 2000 THEN 'never' ELSE '2024-01-01' END FROM n;"));
  auto rows = driver->query("select ID, D from R order by ID");
  auto others = driver->query("select ID from R where ID <= 1500 order by ID desc");
  long long expected = 1, other = 1500;
  try {
    for (; !rows->eof(); rows->next(), ++expected) {
      ASSERT_EQ(rows->value(0).asInteger(), expected);
      if (!others->eof()) {
        ASSERT_EQ(others->value(0).asInteger(), other--);
        others->next();
      }
    }
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Column 'D' holds 'never', which is not a date");
  }
  EXPECT_EQ(expected, 1999) << "the last row handed out before the fault";
  EXPECT_TRUE(rows->eof());
  EXPECT_TRUE(rows->value(0).isNull());
  EXPECT_TRUE(others->eof());
  // Half-read, then given up.
  auto half = driver->query("select ID from R");
  for (int i = 0; i < 700; ++i) half->next();
  EXPECT_EQ(half->value(0).asInteger(), 701);
  half.reset();
  EXPECT_EQ(driver->query("select count(*) from R")->value(0).asInteger(), 3000);
}

TEST(SqliteValues, DateTextForms) {
  struct Case {
    const char* stored;
    std::optional<DateTime> expected;
  };
  const Case cases[] = {
      {"2024-01-31", at(2024, 1, 31)},
      {"2024-01-31 07:08", at(2024, 1, 31, 7, 8)},
      {"2024-01-31T07:08:09.5Z", at(2024, 1, 31, 7, 8, 9, 500000000)},
      {"2024-01-31 07:08:09+02:00", at(2024, 1, 31, 7, 8, 9)},
      {"2023-02-29", std::nullopt},
      {"0000-01-01", std::nullopt},
      {"2024-01-31 24:00:00", std::nullopt},
      {"2024-1-31", std::nullopt},
      {"2024-01-31 07:08:09 garbage", std::nullopt},
  };
  std::string script = "CREATE TABLE T (I INTEGER PRIMARY KEY, D DATE);";
  for (const Case& c : cases) script += std::string("INSERT INTO T (D) VALUES ('") + c.stored + "');";
  const auto driver = openSqliteDriver(test::createSqliteFile("dates.db", script));
  int id = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const std::string sql = "select D from T where I = " + std::to_string(id++);
    if (c.expected) EXPECT_EQ(driver->query(sql)->value(0), Value::dateTime(*c.expected));
    else EXPECT_THROW(driver->query(sql), std::runtime_error);
  }
}

}  // namespace
}  // namespace fennick
