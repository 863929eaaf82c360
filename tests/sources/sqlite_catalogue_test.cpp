// The SQLite source's Oracle catalogue: the values user_tab_columns shows
// for every declared type (as Oracle's own catalogue shows them), and the
// index and table queries the conversion runs, verbatim.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "sources/sqlite.h"
#include "sqlite_fixture.h"

namespace fennick {
namespace {

struct TypeCase {
  const char* declared;  // as written in SQLite's CREATE TABLE
  const char* dataType;
  int dataLength;
  std::optional<int> precision, scale;
  int charLength;
  const char* charUsed;  // nullptr: NULL
};

constexpr std::nullopt_t N = std::nullopt;

const std::vector<TypeCase> kTypeCases = {
    {"NUMBER", "NUMBER", 22, N, N, 0, nullptr},
    {"NUMBER(10)", "NUMBER", 22, 10, 0, 0, nullptr},
    {"NUMBER(12,2)", "NUMBER", 22, 12, 2, 0, nullptr},
    {"\"NUMBER(*,0)\"", "NUMBER", 22, N, 0, 0, nullptr},
    {"NUMBER(5,-2)", "NUMBER", 22, 5, -2, 0, nullptr},
    {"FLOAT(24)", "FLOAT", 22, 24, N, 0, nullptr},
    {"FLOAT", "FLOAT", 22, 126, N, 0, nullptr},
    {"VARCHAR2(30)", "VARCHAR2", 30, N, N, 30, "B"},
    {"\"VARCHAR2(20 BYTE)\"", "VARCHAR2", 20, N, N, 20, "B"},
    {"\"VARCHAR2(10 CHAR)\"", "VARCHAR2", 40, N, N, 10, "C"},
    {"\"varchar2(2000 char)\"", "VARCHAR2", 4000, N, N, 2000, "C"},
    {"NVARCHAR2(50)", "NVARCHAR2", 100, N, N, 50, "C"},
    {"CHAR(3)", "CHAR", 3, N, N, 3, "B"},
    {"CHAR", "CHAR", 1, N, N, 1, "B"},
    {"\"CHAR(5 CHAR)\"", "CHAR", 20, N, N, 5, "C"},
    {"NCHAR(4)", "NCHAR", 8, N, N, 4, "C"},
    {"DATE", "DATE", 7, N, N, 0, nullptr},
    {"TIMESTAMP", "TIMESTAMP(6)", 11, N, 6, 0, nullptr},
    {"TIMESTAMP(3)", "TIMESTAMP(3)", 11, N, 3, 0, nullptr},
    {"\"TIMESTAMP(6) WITH TIME ZONE\"", "TIMESTAMP(6) WITH TIME ZONE", 13, N, 6, 0, nullptr},
    {"\"TIMESTAMP WITH LOCAL TIME ZONE\"", "TIMESTAMP(6) WITH LOCAL TIME ZONE", 11, N, 6, 0,
     nullptr},
    {"\"INTERVAL YEAR(3) TO MONTH\"", "INTERVAL YEAR(3) TO MONTH", 5, 3, 0, 0, nullptr},
    {"\"INTERVAL DAY TO SECOND\"", "INTERVAL DAY(2) TO SECOND(6)", 11, 2, 6, 0, nullptr},
    {"\"INTERVAL DAY(4) TO SECOND(0)\"", "INTERVAL DAY(4) TO SECOND(0)", 11, 4, 0, 0, nullptr},
    {"BLOB", "BLOB", 4000, N, N, 0, nullptr},
    {"CLOB", "CLOB", 4000, N, N, 0, nullptr},
    {"NCLOB", "NCLOB", 4000, N, N, 0, nullptr},
    {"LONG", "LONG", 0, N, N, 0, nullptr},
    {"LONG RAW", "LONG RAW", 0, N, N, 0, nullptr},
    {"RAW(16)", "RAW", 16, N, N, 0, nullptr},
    {"BINARY_FLOAT", "BINARY_FLOAT", 4, N, N, 0, nullptr},
    {"BINARY_DOUBLE", "BINARY_DOUBLE", 8, N, N, 0, nullptr},
    // Oracle's ANSI synonyms.
    {"INTEGER", "NUMBER", 22, N, 0, 0, nullptr},
    {"INT", "NUMBER", 22, N, 0, 0, nullptr},
    {"SMALLINT", "NUMBER", 22, N, 0, 0, nullptr},
    {"DECIMAL(9,2)", "NUMBER", 22, 9, 2, 0, nullptr},
    {"NUMERIC(5)", "NUMBER", 22, 5, 0, 0, nullptr},
    {"DECIMAL", "NUMBER", 22, N, 0, 0, nullptr},
    {"DOUBLE PRECISION", "FLOAT", 22, 126, N, 0, nullptr},
    {"REAL", "FLOAT", 22, 63, N, 0, nullptr},
    {"CHARACTER VARYING(40)", "VARCHAR2", 40, N, N, 40, "B"},
    {"VARCHAR(15)", "VARCHAR2", 15, N, N, 15, "B"},
    {"CHARACTER(2)", "CHAR", 2, N, N, 2, "B"},
    {"NATIONAL CHARACTER VARYING(10)", "NVARCHAR2", 20, N, N, 10, "C"},
    {"NATIONAL CHAR(6)", "NCHAR", 12, N, N, 6, "C"},
    // Names Oracle does not know: the Oracle type that holds the values.
    {"TEXT", "CLOB", 4000, N, N, 0, nullptr},
    {"", "CLOB", 4000, N, N, 0, nullptr},
    {"BIGINT", "NUMBER", 22, N, 0, 0, nullptr},
    {"VARCHAR2", "CLOB", 4000, N, N, 0, nullptr},
    {"DOUBLE", "BINARY_DOUBLE", 8, N, N, 0, nullptr},
    {"DATETIME", "TIMESTAMP(9)", 11, N, 9, 0, nullptr},
    {"BOOLEAN", "NUMBER", 22, 1, 0, 0, nullptr},
    {"MONEY", "NUMBER", 22, N, N, 0, nullptr},
    {"MEDIUMBLOB", "BLOB", 4000, N, N, 0, nullptr},
    {"NUMBER(39)", "NUMBER", 22, N, N, 0, nullptr},
    {"NUMBER(99999999999)", "NUMBER", 22, N, N, 0, nullptr},
    {"\"VARCHAR2(0)\"", "CLOB", 4000, N, N, 0, nullptr},
    {"\"CHAR(5\"", "CLOB", 4000, N, N, 0, nullptr},
    {"\"TIMESTAMP(10)\"", "NUMBER", 22, N, N, 0, nullptr},
};

std::optional<int> optionalInt(const Value& v) {
  if (v.isNull()) return std::nullopt;
  return static_cast<int>(v.asInteger());
}

TEST(SqliteCatalogue, ColumnsShowOraclesValuesForEachDeclaredType) {
  std::string create = "CREATE TABLE EVERY_TYPE (";
  for (std::size_t i = 0; i < kTypeCases.size(); ++i)
    create += (i ? ", C" : "C") + std::to_string(i + 1) + " " + kTypeCases[i].declared;
  create += ");";
  const auto driver = openSqliteDriver(test::createSqliteFile("types.db", create));

  auto rows = driver->query(
      "select * from user_tab_columns where table_name = 'EVERY_TYPE' order by column_id");
  for (std::size_t i = 0; i < kTypeCases.size(); ++i, rows->next()) {
    const TypeCase& expected = kTypeCases[i];
    SCOPED_TRACE(std::string("declared type ") + expected.declared);
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->field("COLUMN_NAME").asText(), "C" + std::to_string(i + 1));
    EXPECT_EQ(rows->field("COLUMN_ID").asInteger(), static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(rows->field("DATA_TYPE").asText(), expected.dataType);
    EXPECT_EQ(rows->field("DATA_LENGTH").asInteger(), expected.dataLength);
    EXPECT_EQ(optionalInt(rows->field("DATA_PRECISION")), expected.precision);
    EXPECT_EQ(optionalInt(rows->field("DATA_SCALE")), expected.scale);
    EXPECT_EQ(rows->field("CHAR_LENGTH").asInteger(), expected.charLength);
    if (expected.charUsed) EXPECT_EQ(rows->field("CHAR_USED").asText(), expected.charUsed);
    else EXPECT_TRUE(rows->field("CHAR_USED").isNull());
    EXPECT_EQ(rows->field("NULLABLE").asText(), "Y");
  }
  EXPECT_TRUE(rows->eof());
}

const char* const kSchema = R"sql(
  CREATE TABLE DEPT (DEPTNO NUMBER(2) PRIMARY KEY, DNAME VARCHAR2(14) NOT NULL);
  CREATE TABLE EMP (EMPNO INTEGER PRIMARY KEY, ENAME VARCHAR2(10), JOB VARCHAR2(9),
                    DEPTNO NUMBER(2), HIREDATE DATE, UNIQUE (DEPTNO, ENAME));
  CREATE INDEX EMP_JOB ON EMP (JOB);
  CREATE UNIQUE INDEX EMP_JOB_NAME ON EMP (JOB DESC, ENAME);
  CREATE TABLE "Mixed Name" ("Col One" TEXT, b NUMBER);
  CREATE VIEW EMP_VIEW AS SELECT ENAME FROM EMP;
  INSERT INTO "Mixed Name" VALUES ('x', 1);
)sql";

std::vector<std::string> indexRows(SourceDriver& driver, const std::string& table) {
  auto rows = driver.query(
      "select   i.index_name key_name,i.uniqueness,C.Column_Name Column_name,"
      "c.column_position  Seq_in_index  from   user_indexes   i,user_ind_columns   c   "
      "where   i.index_name=c.index_name   and   i.table_name='" +
      table + "'   order   by     i.index_name,c.column_position");
  std::vector<std::string> out;
  for (; !rows->eof(); rows->next())
    out.push_back(rows->field("key_name").asText() + " " + rows->field("uniqueness").asText() +
                  " " + rows->field("column_name").asText() + " " +
                  std::to_string(rows->field("seq_in_index").asInteger()));
  return out;
}

TEST(SqliteCatalogue, KeysAndIndexesShowAsOracleIndexes) {
  const auto driver = openSqliteDriver(test::createSqliteFile("keys.db", kSchema));
  EXPECT_EQ(indexRows(*driver, "EMP"),
            (std::vector<std::string>{"EMP_JOB NONUNIQUE JOB 1", "EMP_JOB_NAME UNIQUE JOB 1",
                                      "EMP_JOB_NAME UNIQUE ENAME 2", "PK_EMP UNIQUE EMPNO 1",
                                      "sqlite_autoindex_EMP_1 UNIQUE DEPTNO 1",
                                      "sqlite_autoindex_EMP_1 UNIQUE ENAME 2"}));
  EXPECT_EQ(indexRows(*driver, "DEPT"),
            (std::vector<std::string>{"sqlite_autoindex_DEPT_1 UNIQUE DEPTNO 1"}));
  EXPECT_TRUE(indexRows(*driver, "Mixed Name").empty());
}

TEST(SqliteCatalogue, TablesAreListedInOrderWithoutViewsOrSqlitesOwn) {
  const auto driver = openSqliteDriver(test::createSqliteFile("tables.db", kSchema));
  auto rows = driver->query("select  table_name   from   user_tables order by table_name");
  std::vector<std::string> names;
  for (; !rows->eof(); rows->next()) names.push_back(rows->field("TABLE_NAME").asText());
  EXPECT_EQ(names, (std::vector<std::string>{"DEPT", "EMP", "Mixed Name"}));
}

TEST(SqliteCatalogue, KeyColumnsAreNotNullable) {
  const auto driver = openSqliteDriver(test::createSqliteFile("nulls.db", kSchema));
  auto rows = driver->query(
      "select * from user_tab_columns where table_name = 'DEPT' order by column_id");
  ASSERT_FALSE(rows->eof());
  EXPECT_EQ(rows->field("nullable").asText(), "N");  // primary key
  rows->next();
  EXPECT_EQ(rows->field("nullable").asText(), "N");  // NOT NULL
}

TEST(SqliteCatalogue, RowsOfPlainAndQuotedTableNames) {
  const auto driver = openSqliteDriver(test::createSqliteFile("rows.db", kSchema));
  auto mixed = driver->query("select * from \"Mixed Name\"");
  ASSERT_FALSE(mixed->eof());
  EXPECT_EQ(mixed->field("col one").asText(), "x");
  EXPECT_EQ(mixed->field("B").asInteger(), 1);
  mixed->next();
  EXPECT_TRUE(mixed->eof());

  auto dept = driver->query("select * from DEPT");
  EXPECT_TRUE(dept->eof());
  ASSERT_EQ(dept->fieldCount(), 2u);
  EXPECT_EQ(dept->fieldName(1), "DNAME");
}

TEST(SqliteCatalogue, TheUsersFileIsNotChanged) {
  const std::string path = test::createSqliteFile("untouched.db", kSchema);
  const std::string before = platform::readWholeFile(path);
  {
    const auto driver = openSqliteDriver(path);
    driver->query("select  table_name   from   user_tables order by table_name");
    EXPECT_THROW(driver->query("delete from EMP"), std::runtime_error);
  }
  EXPECT_EQ(platform::readWholeFile(path), before);
}

}  // namespace
}  // namespace fennick
