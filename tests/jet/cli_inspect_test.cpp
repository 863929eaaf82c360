// fennick-cli inspect, run as the user runs it (native build; the program
// is started through the shell): the summary's tables and counts, a table's
// rows as CSV, the index check, and the error for a file that is not there.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::test {
namespace {

#ifndef _WIN32
std::string cli() { return std::string(FENNICK_BINARY_DIR) + "/bin/fennick-cli"; }

std::string run(const std::string& args, bool& ok) { return runCommand(shellQuote(cli()) + " inspect " + args, ok); }

// RFC 4180 records: fields split at commas outside quotes, "" inside quotes.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
      else if (c == '"') quoted = false;
      else field += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().push_back(field);
      field.clear();
    } else if (c == '\n') {
      records.back().push_back(field);
      field.clear();
      records.emplace_back();
    } else {
      field += c;
    }
  }
  records.pop_back();  // after the last line break
  return records;
}

TEST(CliInspect, TableRowsAsCsv) {
  bool ok = false;
  const std::string out = run(shellQuote(accessFixturePath("testV2000.mdb")) + " Table1", ok);
  ASSERT_TRUE(ok);
  // The values mdb-export shows for this table, dates in ISO form.
  EXPECT_EQ(out,
            "A,B,C,D,E,F,G,H,I\n"
            "abcdefg,hijklmnop,2,222,333333333,444.555,1974-09-21 00:00:00,3.5000,1\n"
            "a,b,0,0,0,0,1981-12-12 00:00:00,0.0000,0\n");
}

TEST(CliInspect, CsvFieldsMatchMdbExport) {
  const std::string file = shellQuote(accessFixturePath("fixedTextTestV2000.mdb"));
  bool ok = false;
  const auto ours = parseCsv(run(file + " users", ok));
  ASSERT_TRUE(ok);
  const auto theirs = parseCsv(runCommand("mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' " + file + " users", ok));
  ASSERT_TRUE(ok);
  EXPECT_EQ(ours, theirs);
}

TEST(CliInspect, SummaryListsEveryTableWithItsRowCount) {
  const std::string file = accessFixturePath("testV1997.mdb");
  bool ok = false;
  const std::string out = run(shellQuote(file), ok);
  ASSERT_TRUE(ok);
  EXPECT_NE(out.find("Format: Jet 3"), std::string::npos);
  std::string tables = runCommand("mdb-tables -S -1 " + shellQuote(file), ok);
  std::size_t start = 0;
  while (start < tables.size()) {
    const std::size_t end = tables.find('\n', start);
    const std::string name = tables.substr(start, end - start);
    start = end + 1;
    std::string count = runCommand("mdb-count " + shellQuote(file) + " " + shellQuote(name), ok);
    count.pop_back();
    EXPECT_NE(out.find("Table " + name), std::string::npos) << name;
    EXPECT_NE(out.find(": " + count + " rows"), std::string::npos) << name;
  }
}

// Every fixture's indexes agree with its rows; a key changed in a copy of
// an Access tree is reported and the exit status says so.
TEST(CliInspect, CheckPassesOnEveryFixtureAndFindsADamagedEntry) {
  for (const auto& name : accessFixtures()) {
    bool ok = false;
    const std::string out = run("--check " + shellQuote(accessFixturePath(name)), ok);
    EXPECT_TRUE(ok) << name << "\n" << out;
    EXPECT_NE(out.find(" 0 index problems"), std::string::npos) << name << "\n" << out;
  }
  std::string bytes = readFileBytes(accessFixturePath("compIndexTestV2000.mdb"));
  const std::size_t firstEntry = 32 * 4096 + 0x1E0;  // leaf p32 of Table1's CD_AGENTE index
  ASSERT_EQ(static_cast<unsigned char>(bytes.at(firstEntry + 4)), 0x32u);
  bytes[firstEntry + 4] = 0x31;
  const std::string copy = joinPath(scratchDir(), "damaged_index.mdb");
  platform::writeWholeFile(copy, bytes);
  bool ok = true;
  const std::string out = run("--check " + shellQuote(copy), ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(out.find("table \"Table1\": index \"CD_AGENTE\""), std::string::npos) << out;
}

TEST(CliInspect, MissingFileIsNamedInTheError) {
  bool ok = true;
  const std::string out = runCommand(shellQuote(cli()) + " inspect /nonexistent/none.mdb 2>&1", ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(out.find("/nonexistent/none.mdb"), std::string::npos) << out;
}
#endif

}  // namespace
}  // namespace fennick::test
