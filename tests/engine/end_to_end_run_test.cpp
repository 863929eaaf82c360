// The conversion run end to end, from a SQLite source into real Access files
// of both formats, for what the run decides: the worked example of the log,
// Overwrite / Merge / Skip on tables that exist, definitions only, indexes
// converted or skipped, a name over 60 characters converted twice, a stop
// at row 300 and during the last table, a post refused at row 250, BLOBs
// as text, an empty selection and a missing target folder. mdbtools counts the
// rows natively; our reader checks them everywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/flags.h"
#include "engine/run.h"
#include "engine/target.h"
#include "jet/database.h"
#include "platform/file.h"
#include "sources/source.h"
#include "../sources/sqlite_fixture.h"
#include "fixtures.h"
#include "test_support.h"

namespace fennick {
namespace {

const std::string kLongName = "PROJECT_ASSIGNMENT_HISTORY_FOR_EVERY_EMPLOYEE_AND_DEPARTMENTS";  // 61 characters

std::string sourceScript() {
  std::string script =
      "create table EMP (EMPNO integer primary key, ENAME varchar(10), SAL number(7,2));"
      "create table DEPT (DEPTNO integer, DNAME varchar(14));"
      "create table BIG (N integer, LABEL varchar(20));"
      "create table " + kLongName + " (ID integer);"
      "insert into " + kLongName + " values (1);"
      "insert into DEPT values (10,'ACCOUNTING'),(20,'RESEARCH'),(30,'SALES'),(40,'OPERATIONS');";
  for (int i = 1; i <= 14; ++i)
    script += "insert into EMP values (" + std::to_string(7900 + i) + ",'E" + std::to_string(i) + "'," +
              std::to_string(1000 + i * 25) + ".5);";
  // Documents in the encodings a BLOB to text conversion tells apart.
  const auto hex = [](const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out = "X'";
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out + "'";
  };
  script += "create table DOCS (ID integer, BODY blob);";
  const std::string documents[] = {
      "{\\rtf1\\ansi\\ansicpg1252 Caf\\'e9 {\\b bold}\\par next}",
      "\xEF\xBB\xBFna\xC3\xAFve",
      std::string("\xFF\xFE\xC6\x00r\x00\xF8\x00", 8),
      "plain\nlines",
  };
  for (int i = 0; i < 4; ++i) script += "insert into DOCS values (" + std::to_string(i) + "," + hex(documents[i]) + ");";
  script += "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000) "
            "insert into BIG select i, 'row ' || i from n;";
  return script;
}

// Stops the run at the given checkpoint, as a user confirming Stop would.
class StoppingHost : public ConversionHost {
 public:
  explicit StoppingHost(int stopAtCheckpoint = 0) : stopAt_(stopAtCheckpoint) {}
  void handlePendingMessages() override {
    if (++checkpoints_ == stopAt_) StopRequested = true;
  }

 private:
  int stopAt_;
  int checkpoints_ = 0;
};

class EndToEndRun : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    static const std::string sourcePath = test::createSqliteFile("runs.db", sourceScript());
    source_.open("sqlite:" + sourcePath, "", "");
    job_.accessformat = GetParam();
    job_.accessfilename = test::joinPath(test::scratchDir(), "target.mdb");
    job_.processtable = 0;
  }

  // Runs the job with a fresh log and returns the log's lines.
  std::vector<std::string> run(const std::vector<std::string>& tables, int stopAtCheckpoint = 0,
                               RunEnd expected = RunEnd::Completed) {
    job_.tables = tables;
    ConversionLog log;
    StoppingHost host(stopAtCheckpoint);
    EXPECT_EQ(runConversion(job_, RunTexts{}, source_, target_, log, host), expected);
    // The wizard keeps its target open after a run: by then nothing may be
    // held back that other programs would miss in the file.
    EXPECT_FALSE(platform::isRegularFile(job_.accessfilename + ".findex"));
    target_.close();
    return log.lines();
  }

  long long rows(const std::string& table) {
    auto db = jet::Database::open(job_.accessfilename, jet::OpenMode::ReadOnly);
    long long n = 0;
    for (auto cursor = db.openCursor(table); cursor.next();) ++n;
    if (test::mdbtoolsMissing().empty()) {
      EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(job_.accessfilename) + " " + test::shellQuote(table)),
                std::to_string(n) + "\n") << table;
    }
    return n;
  }

  std::vector<std::string> tableNames() {
    std::vector<std::string> names;
    for (const auto& t : jet::Database::open(job_.accessfilename, jet::OpenMode::ReadOnly).tables())
      if (!t.system) names.push_back(t.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::vector<std::string> withEnd(std::vector<std::string> lines) {
    for (const char* end : {"Conversion is Completed", "Wizard has migrated your Oracle database to Access successfully.",
                            "Click 'Finish' to exit the wizard."})
      lines.push_back(end);
    return lines;
  }

  SourceConnection source_;
  TargetConnection target_{jetTargetOpener()};
  ConversionJob job_;
};

TEST_P(EndToEndRun, TheWorkedExampleOfTheLogUnderOverwrite) {
  run({"DEPT"});
  EXPECT_EQ(run({"EMP", "DEPT"}), withEnd({"Create table EMP...Done", "", "Insert table EMP 14 Rows ...Done", "",
                                           "Drop table DEPT...Done", "", "Create table DEPT...Done", "",
                                           "Insert table DEPT 4 Rows ...Done", ""}));
  EXPECT_EQ(rows("EMP"), 14);
  EXPECT_EQ(rows("DEPT"), 4);
  EXPECT_EQ(tableNames(), (std::vector<std::string>{"DEPT", "EMP"}));
}

TEST_P(EndToEndRun, MergeAddsToTheTableAndSkipLeavesIt) {
  run({"DEPT"});
  job_.processtable = 1;
  EXPECT_EQ(run({"DEPT"}), withEnd({"Insert table DEPT 4 Rows ...Done", ""}));
  EXPECT_EQ(rows("DEPT"), 8);
  job_.processtable = -1;  // no policy chosen acts as Merge
  run({"DEPT"});
  EXPECT_EQ(rows("DEPT"), 12);
  job_.processtable = 2;
  EXPECT_EQ(run({"DEPT"}), withEnd({"Skip table DEPT... ", "", "Skip table DEPT", ""}));
  job_.tabledefonly = true;
  EXPECT_EQ(run({"DEPT"}), withEnd({"Skip table DEPT... ", ""}));
  EXPECT_EQ(rows("DEPT"), 12);
}

TEST_P(EndToEndRun, DefinitionsOnlyCreateEmptyTables) {
  job_.tabledefonly = true;
  EXPECT_EQ(run({"EMP", "DEPT"}), withEnd({"Create table EMP...Done", "", "Create table DEPT...Done", ""}));
  EXPECT_EQ(rows("EMP"), 0);
  EXPECT_EQ(rows("DEPT"), 0);
}

TEST_P(EndToEndRun, ALongNameConvertedTwiceGetsTheNextFreeNumber) {
  const std::string first = kLongName.substr(0, 56) + "0000", second = kLongName.substr(0, 56) + "0001";
  // The progress line names the source table.
  EXPECT_EQ(run({kLongName}), withEnd({"Create table " + first + "...Done", "", "Insert table " + kLongName + " 1 Rows ...Done", ""}));
  EXPECT_EQ(run({kLongName}), withEnd({"Create table " + second + "...Done", "", "Insert table " + kLongName + " 1 Rows ...Done", ""}));
  EXPECT_EQ(rows(first), 1);
  EXPECT_EQ(rows(second), 1);
}

TEST_P(EndToEndRun, AStopAtRow300KeepsTheRowsAndEndsBeforeTheNextTable) {
  EXPECT_EQ(run({"BIG", "DEPT"}, 3, RunEnd::Stopped),
            (std::vector<std::string>{"Create table BIG...Done", "", "Insert table BIG 300 Rows ", "Operation aborted", ""}));
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(rows("BIG"), 300);
  EXPECT_EQ(tableNames(), std::vector<std::string>{"BIG"});
}

TEST_P(EndToEndRun, AStopDuringTheLastTableEndsTheRunNormally) {
  EXPECT_EQ(run({"DEPT", "BIG"}, 3),
            withEnd({"Create table DEPT...Done", "", "Insert table DEPT 4 Rows ...Done", "", "Create table BIG...Done", "",
                     "Insert table BIG 300 Rows ", "Operation aborted", ""}));
  EXPECT_FALSE(StopRequested) << "a run that has ended leaves no stop pending";
  EXPECT_EQ(rows("BIG"), 300);
}

// Under Merge the 250th row of a second source repeats a key the first run
// stored: that post is refused by the unique index, the copy stops there
// and the 249 rows before it stay.
TEST_P(EndToEndRun, APostRefusedAtRow250KeepsTheRowsBeforeIt) {
  const auto source = [](const char* name, int first) {
    std::string script = "create table PAIRS (K integer, V varchar(10)); create unique index PAIRS_K on PAIRS (K);";
    script += "with recursive n(i) as (select 1 union all select i + 1 from n where i < 249) "
              "insert into PAIRS select " + std::to_string(first) + " + i, 'v' || i from n;";
    if (first != 0) script += "insert into PAIRS values (1, 'again'); insert into PAIRS values (99999, 'after');";
    return test::createSqliteFile(name, script);
  };
  source_.close();
  source_.open("sqlite:" + source("pairs1.db", 0), "", "");
  run({"PAIRS"});
  source_.close();
  source_.open("sqlite:" + source("pairs2.db", 1000), "", "");
  job_.processtable = 1;
  const auto lines = run({"PAIRS"});
  ASSERT_EQ(lines.size(), 6u) << ::testing::PrintToString(lines);  // then the three end lines
  EXPECT_EQ(lines[0], "Insert table PAIRS 200 Rows ");
  EXPECT_NE(lines[1].find("already holds the key"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("PAIRS"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(rows("PAIRS"), 249 + 249);
  auto db = jet::Database::open(job_.accessfilename, jet::OpenMode::ReadOnly);
  EXPECT_EQ(db.checkIndexes("PAIRS"), std::vector<std::string>{});
}

TEST_P(EndToEndRun, IndexesFollowTheSourceUnlessSkipped) {
  source_.close();
  source_.open("sqlite:" + test::createSqliteFile("indexed.db",
                                                  "create table ORDERS (ID integer, CUSTOMER varchar(20), \"DATE\" date);"
                                                  "create unique index ORDERS_ID on ORDERS (ID);"
                                                  "create index ORDERS_WHEN on ORDERS (CUSTOMER, \"DATE\" desc);"
                                                  "insert into ORDERS values (1, 'a', '2024-01-01'), (2, 'b', null);"),
               "", "");
  const auto indexNames = [&] {
    std::vector<std::string> names;
    auto db = jet::Database::open(job_.accessfilename, jet::OpenMode::ReadOnly);
    for (const auto& ix : db.definition("ORDERS").indexes) names.push_back(ix.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(db.checkIndexes("ORDERS"), std::vector<std::string>{});
    return names;
  };
  job_.skipindex = true;
  run({"ORDERS"});
  EXPECT_TRUE(indexNames().empty());
  job_.skipindex = false;
  run({"ORDERS"});  // Overwrite: dropped and made again, with its indexes
  EXPECT_EQ(indexNames(), (std::vector<std::string>{"ORDERS_ID", "ORDERS_WHEN"}));
  EXPECT_EQ(rows("ORDERS"), 2);
}

TEST_P(EndToEndRun, BlobsBecomeTextInTheFile) {
  job_.blobtotext = true;
  run({"DOCS"});
  auto db = jet::Database::open(job_.accessfilename, jet::OpenMode::ReadOnly);
  EXPECT_EQ(db.definition("DOCS").columns.at(1).type, jet::ColumnType::Memo);
  std::vector<std::string> texts;
  for (auto rows = db.openCursor("DOCS"); rows.next();) texts.push_back(rows.values()[1].asText());
  EXPECT_EQ(texts, (std::vector<std::string>{"Caf\xC3\xA9 bold\r\nnext", "na\xC3\xAFve", "\xC3\x86r\xC3\xB8",
                                             "plain\r\nlines"}));
  if (test::mdbtoolsMissing().empty()) {
    const std::string exported = test::mdbtool("mdb-export " + test::shellQuote(job_.accessfilename) + " DOCS");
    EXPECT_NE(exported.find("Caf\xC3\xA9 bold"), std::string::npos) << exported;
    EXPECT_NE(exported.find("\xC3\x86r\xC3\xB8"), std::string::npos) << exported;
  }
}

TEST_P(EndToEndRun, AnEmptySelectionWritesOnlyTheEndLinesIntoANewFile) {
  EXPECT_EQ(run({}), withEnd({}));
  EXPECT_TRUE(platform::isRegularFile(job_.accessfilename));
  EXPECT_TRUE(tableNames().empty());
}

TEST_P(EndToEndRun, AMissingTargetFolderEndsTheRunWithTheSystemsReason) {
  job_.accessfilename = test::joinPath(test::joinPath(test::scratchDir(), "missing"), "target.mdb");
  job_.tables = {"DEPT"};
  ConversionLog log;
  ConversionHost host;
  try {
    runConversion(job_, RunTexts{}, source_, target_, log, host);
    ADD_FAILURE() << "the run went on without a target file";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + job_.accessfilename + "\". ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(log.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(BothFormats, EndToEndRun, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "Access97" : "Access2000"; });

}  // namespace
}  // namespace fennick
