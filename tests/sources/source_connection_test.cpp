// The source connection: its parameter lines, the driver chosen by the
// service name, field lookup, the errors a user sees for a bad source file,
// and the bundled sample.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file.h"
#include "sources/source.h"
#include "sqlite_fixture.h"

namespace fennick {
namespace {

std::string errorOf(SourceConnection& connection, const std::string& service) {
  try {
    connection.open(service, "scott", "tiger");
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(SourceConnection, OpenSetsTheTwelveParameterLinesInOrder) {
  const std::string path = test::createSqliteFile("params.db", "CREATE TABLE T (A);");
  SourceConnection connection;
  connection.open("sqlite:" + path, "scott", "tiger");
  EXPECT_TRUE(connection.isOpen());
  EXPECT_EQ(connection.params(),
            (std::vector<std::string>{"Database=sqlite:" + path, "User_Name=scott",
                                      "Password=tiger", "DriverName=Oracle", "RowsetSize=20",
                                      "BlobSize=-1", "LocaleCode=0000", "ErrorResourceFile=",
                                      "Oracle TransIsolation=ReadCommited",
                                      "OS Authentication=False", "Multiple Transaction=False",
                                      "Trim Char=False"}));
  EXPECT_EQ(paramValue(connection.params(), "user_name"), "scott");

  // A second open replaces the list and the driver; a failed one leaves it closed.
  EXPECT_EQ(errorOf(connection, "orcl"), "Oracle support is not built in yet");
  EXPECT_FALSE(connection.isOpen());
  EXPECT_EQ(connection.params().front(), "Database=orcl");
  EXPECT_THROW(connection.query("select 1 from dual"), std::runtime_error);
}

TEST(SourceConnection, FieldsAreFoundByNameWithoutRegardToCase) {
  SourceConnection connection;
  connection.open("sqlite:" + test::createSqliteFile("fields.db", "CREATE TABLE T (Mixed_Case);"),
                  "", "");
  const auto rows = connection.query("select  table_name   from   user_tables order by table_name");
  EXPECT_EQ(rows->fieldIndex("TABLE_NAME"), 0u);
  EXPECT_EQ(rows->fieldIndex("Table_Name"), 0u);
  EXPECT_EQ(rows->field("table_name").asText(), "T");
  try {
    rows->fieldIndex("owner");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Field 'owner' not found");
  }
}

TEST(SourceConnection, BadSourceFilesGiveErrorsNamingTheFile) {
  const std::string folder = test::scratchDir();
  const std::string missing = test::joinPath(folder, "missing.db");
  const std::string text = test::joinPath(folder, "notes.txt");
  const std::string empty = test::joinPath(folder, "empty.db");
  platform::writeWholeFile(text, "These are notes, not a database. They run past sixteen bytes.");
  platform::writeWholeFile(empty, "");

  SourceConnection connection;
  EXPECT_EQ(errorOf(connection, "sqlite:" + missing),
            "The SQLite source file \"" + missing + "\" does not exist");
  EXPECT_FALSE(platform::isRegularFile(missing));  // never created
  EXPECT_EQ(errorOf(connection, "sqlite:" + text),
            "The file \"" + text + "\" is not an SQLite database");
  EXPECT_EQ(errorOf(connection, "sqlite:" + empty),
            "The file \"" + empty + "\" is not an SQLite database");
  EXPECT_EQ(errorOf(connection, "sqlite:" + folder),
            "The SQLite source file \"" + folder + "\" does not exist");

  // A file with SQLite's header but damaged pages.
  const std::string damaged = test::joinPath(folder, "damaged.db");
  platform::writeWholeFile(damaged, std::string("SQLite format 3\0", 16) + std::string(200, '\x7f'));
  const std::string message = errorOf(connection, "sqlite:" + damaged);
  EXPECT_NE(message.find("\"" + damaged + "\""), std::string::npos) << message;
}

TEST(SourceConnection, OpensAFileWhosePathIsNotAscii) {
  const std::string folder = test::joinPath(test::scratchDir(), "Daten-数据");
  ASSERT_TRUE(platform::createDirectory(folder));
  const std::string path = test::joinPath(folder, "Übersicht.db");
  const std::string made = test::createSqliteFile("plain.db", "CREATE TABLE 表 (A);");
  platform::writeWholeFile(path, platform::readWholeFile(made));
  SourceConnection connection;
  connection.open("sqlite:" + path, "", "");
  auto rows = connection.query("select  table_name   from   user_tables order by table_name");
  ASSERT_FALSE(rows->eof());
  EXPECT_EQ(rows->field("table_name").asText(), "表");
}

TEST(SourceConnection, TheSampleBuildsAndListsItsTables) {
  SourceConnection connection;
  connection.open("sqlite:" + test::binaryPath("samples/sample.db"), "", "");
  auto rows = connection.query("select  table_name   from   user_tables order by table_name");
  std::vector<std::string> names;
  for (; !rows->eof(); rows->next()) names.push_back(rows->field("table_name").asText());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "DEPARTMENTS", "DOCUMENTS", "EMPLOYEES",
                       "PROJECT_ASSIGNMENT_HISTORY_OF_EMPLOYEES_WITH_BUDGET_CODES_ALL",
                       "SALARIES"}));
  EXPECT_EQ(names[3].size(), 61u);

  auto documents = connection.query("select * from DOCUMENTS order by DOC_ID");
  ASSERT_TRUE(documents->isBlob(documents->fieldIndex("content")));
  documents->next();
  const Bytes& utf8 = documents->field("content").asBytes();
  ASSERT_GE(utf8.size(), 3u);
  EXPECT_EQ(Bytes(utf8.begin(), utf8.begin() + 3), (Bytes{0xEF, 0xBB, 0xBF}));
  documents->next();
  EXPECT_EQ(documents->field("title").asText(), "年度报告");
  const Bytes& rtf = documents->field("content").asBytes();
  EXPECT_EQ(std::string(rtf.begin(), rtf.begin() + 6), "{\\rtf1");
}

}  // namespace
}  // namespace fennick
