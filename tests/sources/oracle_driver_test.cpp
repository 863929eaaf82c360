// The Oracle driver against the stand-in client library (oracle_standin/),
// which serves a SQLite file as an Oracle service would: connecting and its
// refusals, fetch rounds, and every kind of value the conversion copies.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "oracle_test_env.h"
#include "sources/oracle.h"
#include "test_support.h"

namespace fennick {
namespace {

void run(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "") << sql;
}

std::string bigClob() {
  std::string text;
  for (int i = 0; text.size() < 300000; ++i) text += "line " + std::to_string(i) + " Zoë ünïcode €\n";
  return text;
}

Bytes bigBlob() {
  Bytes bytes(256 * 1000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 256);
  return bytes;
}

class OracleDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::useOracleClientLibrary(FENNICK_OCI_STANDIN);
    database_ = test::joinPath(test::scratchDir(), "service.sqlite");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database_.c_str(), &db), SQLITE_OK);
    run(db,
        "CREATE TABLE ITEMS (ID NUMBER, NAME VARCHAR2(30), CODE CHAR(6), RATIO BINARY_DOUBLE, BORN DATE,"
        " STAMP TIMESTAMP(9), NOTES CLOB, PHOTO BLOB, RAWDATA LONG RAW, MEMO LONG, TAG RAW(16));"
        "CREATE TABLE NUMBERS (N NUMBER);");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO ITEMS VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr);
    const std::string clob = bigClob();
    const Bytes blob = bigBlob();
    const std::uint8_t raw[] = {0x00, 0xFF, 0x10, 0x00};
    for (int id = 1; id <= 45; ++id) {
      sqlite3_reset(insert);
      sqlite3_clear_bindings(insert);
      sqlite3_bind_int(insert, 1, id);
      if (id != 2) {  // row 2 is NULL in every other field
        sqlite3_bind_text(insert, 2, id == 1 ? "Zoë" : ("item " + std::to_string(id)).c_str(), -1,
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, "AB", -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 4, 0.25);
        sqlite3_bind_text(insert, 5, "2024-02-29 13:45:07", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 6, "1999-12-31 23:59:59.123456789", -1, SQLITE_STATIC);
        const std::string notes = id == 1 ? clob : "notes " + std::to_string(id);
        sqlite3_bind_text(insert, 7, notes.c_str(), static_cast<int>(notes.size()), SQLITE_TRANSIENT);
        if (id == 1) sqlite3_bind_blob(insert, 8, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        else sqlite3_bind_blob(insert, 8, raw, sizeof raw, SQLITE_STATIC);
        sqlite3_bind_blob(insert, 9, raw, sizeof raw, SQLITE_STATIC);
        sqlite3_bind_text(insert, 10, "a LONG text", -1, SQLITE_STATIC);
        sqlite3_bind_blob(insert, 11, raw, sizeof raw, SQLITE_STATIC);
      }
      ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
  }

  std::unique_ptr<SourceDriver> connect(const std::string& password = "tiger") {
    return openOracleDriver(connectionParams(database_, "SCOTT", password));
  }

  void addNumbers(const std::vector<std::string>& texts) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database_.c_str(), &db), SQLITE_OK);
    // Stored as BLOB so that SQLite's numeric affinity keeps every digit;
    // the stand-in reads the bytes as the number's text.
    for (const auto& text : texts) run(db, "INSERT INTO NUMBERS VALUES (CAST('" + text + "' AS BLOB))");
    sqlite3_close(db);
  }

  std::string fetchLog() const {
    std::ifstream in(database_ + "-fetches.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string database_;
};

std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(OracleDriverTest, RefusedLoginCarriesOraclesMessage) {
  std::string message = errorOf([&] { connect("wrong"); });
  EXPECT_NE(message.find("ORA-01017: invalid username/password; logon denied"), std::string::npos) << message;
  EXPECT_NE(message.find("as SCOTT"), std::string::npos) << message;

  message = errorOf([&] { openOracleDriver(connectionParams(database_ + ".missing", "SCOTT", "tiger")); });
  EXPECT_NE(message.find("ORA-12154"), std::string::npos) << message;
}

TEST_F(OracleDriverTest, QueryErrorsNameTheQueryAndCarryOraclesMessage) {
  auto driver = connect();
  std::string message = errorOf([&] { driver->query("SELECT * FROM NO_SUCH_TABLE"); });
  EXPECT_NE(message.find("ORA-00942: table or view does not exist"), std::string::npos) << message;
  EXPECT_NE(message.find("\"SELECT * FROM NO_SUCH_TABLE\""), std::string::npos) << message;
}

TEST_F(OracleDriverTest, AFailedRoundStopsTheReadWithOraclesMessage) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database_.c_str(), &db), SQLITE_OK);
  run(db, "CREATE TABLE EVENTS (ID NUMBER, HAPPENED DATE);"
          "INSERT INTO EVENTS SELECT ID, '2024-01-01' FROM ITEMS WHERE ID <= 25;"
          "INSERT INTO EVENTS VALUES (26, 'soon');");
  sqlite3_close(db);
  auto rows = connect()->query("SELECT ID, HAPPENED FROM EVENTS ORDER BY ID");
  std::int64_t read = 0;
  std::string message = errorOf([&] {
    for (; !rows->eof(); rows->next()) {
      ASSERT_EQ(rows->value(1), Value::dateTime(DateTime{2024, 1, 1, 0, 0, 0, 0}));
      ++read;
    }
  });
  // The second round holds the bad date, so the first is read in full.
  EXPECT_EQ(read, 20);
  EXPECT_NE(message.find("Oracle could not fetch the rows of the query"), std::string::npos) << message;
  EXPECT_NE(message.find("ORA-01843: not a valid month"), std::string::npos) << message;
}

TEST_F(OracleDriverTest, FieldsComeInColumnOrderWithTheirBlobKind) {
  auto rows = connect()->query("SELECT * FROM ITEMS WHERE ID < 0");
  EXPECT_TRUE(rows->eof());
  const std::vector<std::pair<std::string, bool>> expected = {
      {"ID", false},    {"NAME", false},   {"CODE", false},   {"RATIO", false},
      {"BORN", false},  {"STAMP", false},  {"NOTES", false},  {"PHOTO", true},
      {"RAWDATA", true}, {"MEMO", false},  {"TAG", true}};
  ASSERT_EQ(rows->fieldCount(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows->fieldName(i), expected[i].first);
    EXPECT_EQ(rows->isBlob(i), expected[i].second) << expected[i].first;
  }
}

TEST_F(OracleDriverTest, ReadsEveryRowInRoundsOfTwenty) {
  std::unique_ptr<SourceDataset> rows;
  {
    auto driver = connect();
    rows = driver->query("SELECT ID, NOTES FROM ITEMS ORDER BY ID");
  }  // the dataset keeps the session alive on its own
  std::int64_t expected = 1;
  for (; !rows->eof(); rows->next(), ++expected) {
    ASSERT_EQ(rows->value(0), Value::integer(expected));
    if (expected > 2) {
      ASSERT_EQ(rows->value(1), Value::text("notes " + std::to_string(expected)));
    }
  }
  EXPECT_EQ(expected, 46);
  rows->next();  // past the end stays at the end
  EXPECT_TRUE(rows->eof());
  rows.reset();
  EXPECT_EQ(fetchLog(), "prefetch=20 fetch=20:20 fetch=20:20 fetch=20:5\n");
}

TEST_F(OracleDriverTest, RowsetSizeSetsTheRoundSize) {
  auto params = connectionParams(database_, "SCOTT", "tiger");
  params[4] = "RowsetSize=16";
  {
    auto rows = openOracleDriver(params)->query("SELECT ID FROM ITEMS WHERE ID <= 32");
    std::int64_t count = 0;
    for (; !rows->eof(); rows->next()) ++count;
    EXPECT_EQ(count, 32);
  }
  // Exactly two full rounds: the third finds no more rows.
  EXPECT_EQ(fetchLog(), "prefetch=16 fetch=16:16 fetch=16:16 fetch=16:0\n");
}

TEST_F(OracleDriverTest, EveryKindOfValueArrivesWhole) {
  auto rows = connect()->query("SELECT * FROM ITEMS ORDER BY ID");
  ASSERT_FALSE(rows->eof());
  DateTime born{2024, 2, 29, 13, 45, 7, 0};
  DateTime stamp{1999, 12, 31, 23, 59, 59, 123456789};
  const Bytes raw = {0x00, 0xFF, 0x10, 0x00};
  const std::vector<std::pair<std::string, Value>> expected = {
      {"ID", Value::integer(1)},
      {"NAME", Value::text("Zoë")},
      {"CODE", Value::text("AB    ")},  // CHAR keeps its trailing blanks
      {"RATIO", Value::real(0.25)},
      {"BORN", Value::dateTime(born)},
      {"STAMP", Value::dateTime(stamp)},
      {"NOTES", Value::text(bigClob())},
      {"PHOTO", Value::bytes(bigBlob())},
      {"RAWDATA", Value::bytes(raw)},
      {"MEMO", Value::text("a LONG text")},
      {"TAG", Value::bytes(raw)},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(rows->field(name), value) << name;

  rows->next();
  ASSERT_EQ(rows->value(0), Value::integer(2));
  for (std::size_t i = 1; i < rows->fieldCount(); ++i) EXPECT_TRUE(rows->value(i).isNull()) << rows->fieldName(i);
}

TEST_F(OracleDriverTest, NumbersBecomeIntegerDoubleOrDecimal) {
  const std::vector<std::pair<std::string, Value>> cases = {
      {"0", Value::integer(0)},
      {"-17", Value::integer(-17)},
      {"9223372036854775807", Value::integer(9223372036854775807)},
      {"12.5", Value::real(12.5)},
      {"-0.000123", Value::real(-0.000123)},
      {"1e20", Value::real(1e20)},
      {"12345678901234567890123456789012345678", Value::decimal("12345678901234567890123456789012345678")},
      {"3.1415926535897932384626433832795028", Value::decimal("3.1415926535897932384626433832795028")},
  };
  std::vector<std::string> texts;
  for (const auto& c : cases) texts.push_back(c.first);
  addNumbers(texts);
  auto rows = connect()->query("SELECT N FROM NUMBERS ORDER BY rowid");
  for (const auto& [text, value] : cases) {
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->value(0), value) << text << " read as " << rows->value(0).toDisplayString();
    rows->next();
  }
  EXPECT_TRUE(rows->eof());
}

TEST_F(OracleDriverTest, TrimCharTrueDropsTrailingBlanks) {
  auto params = connectionParams(database_, "SCOTT", "tiger");
  params.back() = "Trim Char=True";
  auto rows = openOracleDriver(params)->query("SELECT CODE, NAME FROM ITEMS WHERE ID = 1");
  EXPECT_EQ(rows->value(0), Value::text("AB"));
}

TEST_F(OracleDriverTest, LibraryWithoutOciFunctionsIsNamed) {
  test::useOracleClientLibrary(FENNICK_NOT_AN_OCI_LIBRARY);
  std::string message = errorOf([&] { connect(); });
  EXPECT_NE(message.find("lacks the function OCIEnvNlsCreate"), std::string::npos) << message;
}

}  // namespace
}  // namespace fennick
