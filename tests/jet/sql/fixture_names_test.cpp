// Every table and field name in the real Access files, as mdbtools lists
// them, passes Jet's naming rules and reads back from a CREATE TABLE.
// Needs mdbtools, so it runs in the native build only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jet_sql/error.h"
#include "jet_sql/names.h"
#include "jet_sql/parser.h"
#include "test_support.h"

namespace fennick::jet::sql {
namespace {

#ifdef _WIN32

TEST(JetSqlFixtureNames, RealNamesPassAndReadBack) { GTEST_SKIP() << "mdbtools runs in the native build only"; }

#else

struct TableNames {
  std::string table;
  std::vector<std::string> fields;
};

// Table and field names from `mdb-schema <file> access`: a table begins at
// "CREATE TABLE [name]", each field line begins with a tab and "[name]".
std::vector<TableNames> schemaNames(const std::string& mdb, const std::string& scratch) {
  const std::string out = test::joinPath(scratch, "schema.txt");
  const std::string command = "mdb-schema '" + mdb + "' access > '" + out + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  std::vector<TableNames> tables;
  std::ifstream in(out);
  for (std::string line; std::getline(in, line);) {
    const auto bracketed = [&](std::size_t from) {
      const std::size_t close = line.find(']', from);
      return close == std::string::npos ? std::string() : line.substr(from, close - from);
    };
    if (line.rfind("CREATE TABLE [", 0) == 0) tables.push_back({bracketed(14), {}});
    else if (line.rfind("\t[", 0) == 0 && !tables.empty()) tables.back().fields.push_back(bracketed(2));
  }
  return tables;
}

TEST(JetSqlFixtureNames, RealNamesPassAndReadBack) {
  if (std::system("mdb-schema --help > /dev/null 2>&1") != 0) GTEST_SKIP() << "mdbtools not installed";
  const std::string scratch = test::scratchDir();
  std::size_t tablesSeen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::sharedPath("fixtures/access"))) {
    if (entry.path().extension() != ".mdb") continue;
    for (const TableNames& t : schemaNames(entry.path().string(), scratch)) {
      SCOPED_TRACE(entry.path().filename().string() + ": " + t.table);
      EXPECT_EQ(objectNameProblem(t.table), std::nullopt);
      if (t.fields.empty()) continue;
      std::string sql = "CREATE TABLE [" + t.table + "] (";
      for (std::size_t i = 0; i < t.fields.size(); ++i) sql += (i ? ",\r\n[" : "\r\n[") + t.fields[i] + "] Long";
      sql += ")";
      try {
        const auto tree = std::get<CreateTable>(parseStatement(sql));
        ASSERT_EQ(tree.columns.size(), t.fields.size());
        for (std::size_t i = 0; i < t.fields.size(); ++i) EXPECT_EQ(tree.columns[i].name, t.fields[i]);
      } catch (const SqlError& e) {
        ADD_FAILURE() << e.what();
      }
      ++tablesSeen;
    }
  }
  EXPECT_GT(tablesSeen, 10u);
}

#endif

}  // namespace
}  // namespace fennick::jet::sql
