#include <gtest/gtest.h>

#include "engine/flags.h"
#include "engine/run.h"
#include "engine/tcc.h"
#include "fakes.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick {
namespace {

using test::FakeResult;
using test::FakeSource;
using test::FakeTarget;

// A source table of `rows` rows with an ID and a NAME column.
void addTable(FakeSource& source, const std::string& name, long long rows) {
  FakeResult columns;
  columns.fields = {"COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "DATA_SCALE"};
  columns.rows = {
      {Value::text("ID"), Value::text("NUMBER"), Value::integer(22), Value::integer(10), Value::integer(0)},
      {Value::text("NAME"), Value::text("VARCHAR2"), Value::integer(40), Value(), Value()},
  };
  source.results[columnCatalogueQuery(name)] = columns;
  FakeResult indexes;
  indexes.fields = {"KEY_NAME", "UNIQUENESS", "COLUMN_NAME", "SEQ_IN_INDEX"};
  source.results[indexCatalogueQuery(name)] = indexes;
  FakeResult data;
  data.fields = {"ID", "NAME"};
  data.generatedRows = rows;
  data.generate = [](long long i) {
    return std::vector<Value>{Value::integer(i + 1), Value::text("n" + std::to_string(i + 1))};
  };
  source.results[rowQuery(name)] = data;
}

struct Harness {
  FakeSource* source = nullptr;
  FakeTarget* target = nullptr;
  SourceConnection sourceConnection;
  std::unique_ptr<FakeTarget> pendingTarget = std::make_unique<FakeTarget>();
  TargetConnection targetConnection{[this](const std::string&) {
    return std::unique_ptr<TargetDatabase>(std::move(pendingTarget));
  }};
  ConversionLog log;
  ConversionJob job;

  struct Host : ConversionHost {
    std::function<void()> onPump;
    int pumps = 0;
    std::vector<std::string> failures;
    void stepFailed(const std::string& message) override { failures.push_back(message); }
    void handlePendingMessages() override {
      ++pumps;
      if (onPump) onPump();
    }
  } host;

  Harness() {
    auto s = std::make_unique<FakeSource>();
    source = s.get();
    target = pendingTarget.get();
    sourceConnection.attach(std::move(s));
    job.accessfilename = test::joinPath(test::scratchDir(), "target.mdb");
    platform::writeWholeFile(job.accessfilename, "existing");  // no template needed
  }
  RunEnd run() { return runConversion(job, RunTexts{}, sourceConnection, targetConnection, log, host); }
};

TEST(ConversionRun, TheWorkedExampleLineByLine) {
  Harness h;
  addTable(*h.source, "EMP", 14);
  addTable(*h.source, "DEPT", 4);
  h.target->tables["DEPT"].columns = {"ID", "NAME"};
  h.job.tables = {"EMP", "DEPT"};
  EXPECT_EQ(h.run(), RunEnd::Completed);
  EXPECT_EQ(h.log.lines(), (std::vector<std::string>{
                               "Create table EMP...Done", "", "Insert table EMP 14 Rows ...Done", "",
                               "Drop table DEPT...Done", "", "Create table DEPT...Done", "",
                               "Insert table DEPT 4 Rows ...Done", "", "Conversion is Completed",
                               "Wizard has migrated your Oracle database to Access successfully.",
                               "Click 'Finish' to exit the wizard."}));
  EXPECT_EQ(h.target->tables["EMP"].rows.size(), 14u);
  EXPECT_EQ(h.target->tables["DEPT"].rows.size(), 4u);
  EXPECT_EQ(h.target->statements[1], "Create table [EMP] (\r\n[ID] Double , \r\n[NAME] text(40)\r\n ) ");
}

TEST(ConversionRun, PoliciesOnAnExistingTable) {
  struct Case {
    int processtable;
    bool definitionsOnly;
    std::vector<std::string> lines;  // before the closing lines
    std::size_t rows;
  } cases[] = {
      {1, false, {"Insert table T 3 Rows ...Done", ""}, 5},
      {2, false, {"Skip table T... ", "", "Skip table T", ""}, 2},
      {2, true, {"Skip table T... ", ""}, 2},
      {0, true, {"Drop table T...Done", "", "Create table T...Done", ""}, 0},
  };
  for (const auto& c : cases) {
    Harness h;
    addTable(*h.source, "T", 3);
    h.target->tables["T"].columns = {"ID", "NAME"};
    h.target->tables["T"].rows.resize(2);
    h.job.tables = {"T"};
    h.job.processtable = c.processtable;
    h.job.tabledefonly = c.definitionsOnly;
    h.run();
    std::vector<std::string> head(h.log.lines().begin(), h.log.lines().end() - 3);
    EXPECT_EQ(head, c.lines) << c.processtable;
    EXPECT_EQ(h.target->tables["T"].rows.size(), c.rows) << c.processtable;
  }
}

TEST(RowCopy, CommitScheduleAndProgressLines) {
  struct Case {
    long long rows;
    long long commits;  // including the final one
    int pumps;
  } cases[] = {{0, 1, 0}, {99, 1, 0}, {100, 2, 1}, {5000, 2, 50}, {5100, 3, 51}};
  for (const auto& c : cases) {
    Harness h;
    addTable(*h.source, "T", c.rows);
    h.job.tables = {"T"};
    h.run();
    EXPECT_EQ(h.target->commits, c.commits) << c.rows;
    EXPECT_EQ(h.target->begins, c.commits) << c.rows;
    EXPECT_EQ(h.host.pumps, c.pumps) << c.rows;
    EXPECT_EQ(h.log.lines()[2], "Insert table T " + std::to_string(c.rows) + " Rows ...Done");
  }
}

TEST(RowCopy, StopAtACheckpointKeepsPostedRowsAndEndsAtTheNextTable) {
  Harness h;
  addTable(*h.source, "A", 1000);
  addTable(*h.source, "B", 10);
  h.job.tables = {"A", "B"};
  h.host.onPump = [&] {
    if (h.host.pumps == 3) StopRequested = true;
  };
  EXPECT_EQ(h.run(), RunEnd::Stopped);
  EXPECT_EQ(h.log.lines(), (std::vector<std::string>{"Create table A...Done", "",
                                                     "Insert table A 300 Rows ", "Operation aborted", ""}));
  EXPECT_EQ(h.target->tables["A"].rows.size(), 300u);
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(h.target->tables.count("B"), 0u);
}

TEST(RowCopy, StopDuringTheLastTableEndsTheRunNormally) {
  Harness h;
  addTable(*h.source, "A", 1000);
  h.job.tables = {"A"};
  h.host.onPump = [&] { StopRequested = true; };
  EXPECT_EQ(h.run(), RunEnd::Completed);
  EXPECT_EQ(h.log.lines()[3], "Operation aborted");
  EXPECT_EQ(h.log.LastLine(), "Click 'Finish' to exit the wizard.");
  EXPECT_FALSE(StopRequested);  // cleared at the end so the wizard is not stuck
}

TEST(RowCopy, RefusedPostKeepsEarlierRows) {
  Harness h;
  addTable(*h.source, "T", 1000);
  h.job.tables = {"T"};
  h.target->failPostAtRow = 250;
  h.run();
  EXPECT_EQ(h.target->tables["T"].rows.size(), 249u);
  EXPECT_EQ(h.log.lines()[2], "Insert table T 200 Rows ");
  EXPECT_EQ(h.log.lines()[3].rfind("The changes you requested", 0), 0u);
  EXPECT_EQ(h.host.failures.size(), 1u);
}

TEST(RowCopy, ValuesThatCannotBeStoredAreCountedPerColumn) {
  Harness h;
  addTable(*h.source, "T", 5);
  h.target->refusedColumns = {"NAME"};
  h.job.tables = {"T"};
  h.run();
  EXPECT_EQ(h.log.lines()[2], "Insert table T 5 Rows ...Done");
  EXPECT_EQ(h.log.lines()[3], "5 values could not be stored (NAME 5)");
  EXPECT_EQ(h.target->tables["T"].rows.size(), 5u);
}

TEST(ConversionRun, LongNamesGetTheFirstFreeNumberAndProgressShowsTheSourceName) {
  const std::string longName(61, 'L');
  const std::string first = std::string(56, 'L') + "0000";
  Harness h;
  addTable(*h.source, longName, 2);
  h.job.tables = {longName, longName};
  h.run();
  EXPECT_EQ(h.log.lines()[0], "Create table " + first + "...Done");
  EXPECT_EQ(h.log.lines()[2], "Insert table " + longName + " 2 Rows ...Done");
  EXPECT_EQ(h.log.lines()[4], "Create table " + std::string(56, 'L') + "0001...Done");
  EXPECT_EQ(h.target->tables.size(), 2u);
}

TEST(ConversionRun, EmptySelectionWritesOnlyTheClosingLines) {
  Harness h;
  h.run();
  EXPECT_EQ(h.log.LineCount(), 3u);
}

TEST(ConversionRun, MissingTargetFolderFailsWithTheFileError) {
  Harness h;
  h.job.accessfilename = test::joinPath(test::joinPath(test::scratchDir(), "no"), "x.mdb");
  try {
    h.run();
    FAIL();
  } catch (const std::exception& e) {
    // Without templates built in the resource is missing first; with them,
    // the file cannot be created.
    const std::string what = e.what();
    EXPECT_TRUE(what.rfind("Cannot create file \"" + h.job.accessfilename + "\". ", 0) == 0 ||
                what == "Resource mdb95 not found")
        << what;
  }
  EXPECT_EQ(h.log.LineCount(), 0u);
}

TEST(TargetNames, DerivationAndNameCase) {
  EXPECT_EQ(deriveTargetName(std::string(60, 'x'), [](const std::string&) { return true; }),
            std::string(60, 'x'));
  EXPECT_EQ(deriveTargetName(std::string(70, 'x'), [](const std::string&) { return true; }),
            std::string(56, 'x') + "0100");
  EXPECT_EQ(applynamecase("emp_\xC3\xA9", true), "EMP_\xC3\xA9");
  EXPECT_EQ(applynamecase("emp", false), "emp");
  EXPECT_EQ(batchLogName("C:\\jobs\\nightly.fennick"), "C:\\jobs\\nightly.log");
  EXPECT_EQ(batchLogName("C:\\jobs.d\\nightly"), "C:\\jobs.d\\nightly.log");
}

TEST(ConversionRun, UppercaseNamesReachTheSourceQueries) {
  Harness h;
  addTable(*h.source, "EMP", 1);
  h.job.tables = {"emp"};
  h.job.nameuppercase = true;
  h.run();
  EXPECT_EQ(h.log.lines()[0], "Create table EMP...Done");
  EXPECT_EQ(h.source->queries.back(), rowQuery("EMP"));
}

TEST(ConversionRun, FailedDropLeadsToAFailedCreateAndASkippedCopy) {
  Harness h;
  addTable(*h.source, "T", 3);
  h.target->tables["T"].columns = {"ID", "NAME"};
  h.target->refuseStatementsWith = "drop table";
  h.job.tables = {"T"};
  h.run();
  EXPECT_EQ(h.log.lines()[0], "Drop table T... ");
  EXPECT_EQ(h.log.lines()[1], "refused");
  EXPECT_EQ(h.log.lines()[4], "Table 'T' already exists.");
  EXPECT_EQ(h.log.lines()[6], "Skip table T");
  EXPECT_EQ(h.host.failures, (std::vector<std::string>{"refused", "Table 'T' already exists."}));
}

TEST(ConversionRun, BatchModeStampsTheEndSavesTheLogAndClosesTheWindow) {
  Harness h;
  struct BatchHost : ConversionHost {
    std::string parameterFile;
    bool closed = false;
    void closeMainWindow() override { closed = true; }
    std::string batchParameterFile() const override { return parameterFile; }
  } host;
  host.parameterFile = test::joinPath(test::scratchDir(), "nightly.fennick");
  BatchMode = true;
  const RunEnd end = runConversion(h.job, RunTexts{}, h.sourceConnection, h.targetConnection,
                                   h.log, host);
  BatchMode = false;
  EXPECT_EQ(end, RunEnd::Completed);
  EXPECT_TRUE(host.closed);
  const std::string saved = platform::readWholeFile(batchLogName(host.parameterFile));
  EXPECT_EQ(saved.rfind("Conversion is Completed\r\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("\r\nThe end time:"), std::string::npos);
  EXPECT_EQ(saved.find("Click 'Finish'"), std::string::npos);
  EXPECT_EQ(h.log.LastLine(), "Click 'Finish' to exit the wizard.");
}

TEST(RowCopy, BlobsBecomeTextOnlyWhenAskedAndLongNamesKeepTheirValues) {
  for (bool blobToText : {false, true}) {
    Harness h;
    const std::string longColumn(61, 'D');
    FakeResult columns;
    columns.fields = {"COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "DATA_SCALE"};
    columns.rows = {{Value::text("DOC"), Value::text("BLOB"), Value::integer(4000), Value(), Value()},
                    {Value::text(longColumn), Value::text("DATE"), Value::integer(7), Value(), Value()}};
    h.source->results[columnCatalogueQuery("D")] = columns;
    FakeResult indexes;
    indexes.fields = {"KEY_NAME", "UNIQUENESS", "COLUMN_NAME", "SEQ_IN_INDEX"};
    h.source->results[indexCatalogueQuery("D")] = indexes;
    FakeResult data;
    data.fields = {"DOC", longColumn};
    data.blob = {true, false};
    const std::string rtf = "{\\rtf1\\ansi Hello\\par World}";
    data.rows = {{Value::bytes(Bytes(rtf.begin(), rtf.end())), Value::dateTime({2020, 1, 2})}};
    h.source->results[rowQuery("D")] = data;
    h.job.tables = {"D"};
    h.job.blobtotext = blobToText;
    h.run();
    ASSERT_EQ(h.target->tables["D"].rows.size(), 1u);
    const auto& row = h.target->tables["D"].rows[0];
    EXPECT_EQ(row.at("DOC"), blobToText ? Value::text("Hello\r\nWorld")
                                         : Value::bytes(Bytes(rtf.begin(), rtf.end())));
    EXPECT_EQ(row.at(longColumn.substr(0, 60)), Value::dateTime({2020, 1, 2}));
    EXPECT_EQ(h.log.LineCount(), 7u);  // nothing reported as unstored
  }
}

TEST(RowCopy, TheRowsetIsReopenedAtEveryCommitPoint) {
  Harness h;
  addTable(*h.source, "T", 5100);
  h.job.tables = {"T"};
  h.run();
  long long opened = 0;
  for (const auto& statement : h.target->statements)
    if (statement == "select * from [T] where 1=0") ++opened;
  EXPECT_EQ(opened, 3);  // the first open, and after rows 100 and 5100
}

}  // namespace
}  // namespace fennick
