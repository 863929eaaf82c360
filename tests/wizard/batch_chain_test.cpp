// The unattended chain of Next presses: from the start timer through the
// connection, the listing, the table selection by the parameter list and
// the run, and where the chain stops.
#include "batch/parameter_list.h"
#include "main_form_test_base.h"

namespace fennick::test {
namespace {

class BatchChainTest : public MainFormTest {
 protected:
  // Starts in batch mode with the parameter text; the unattended start
  // fills the controls as the parameter file would.
  Taaform1& startBatch(const std::string& parameterText, const std::string& target = "C:\\o.mdb") {
    BatchMode = true;
    parameters.loadBytes(parameterText);
    MainFormHooks hooks;
    hooks.unattendedStart = [this, target](Taaform1& w) {
      w.form()["edtservice"].caption = "orcl";
      w.form()["SaveDialog1"].caption = target;
      w.form()["editaccessname"].caption = target;
      w.setBatchParameters(&parameters);
      w.setBatchParameterFile("C:\\jobs\\nightly.fennick");
    };
    Taaform1& w = start(hooks);
    EXPECT_EQ(w.wizardPage(), 1);
    return w;
  }
  ParameterList parameters;
};

TEST_F(BatchChainTest, SelectsTablesByTheirNumberedKeys) {
  struct Case {
    const char* what;
    const char* parameters;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"numbered keys, a missing table skipped, a duplicate taken once",
       "oracleh=orcl\r\nalltables=0\r\ntables1=DEPT\r\ntables2=NOPE\r\ntables3=EMP\r\n"
       "tables4=DEPT\r\n",
       {"DEPT", "EMP"}},
      {"the numbering decides, not the line order",
       "tables2=EMP\r\ntables1=BONUS\r\nx=\r\n", {"BONUS", "EMP"}},
      {"key 0 counts; keys at or above the line count are never looked up",
       "tables0=BONUS\r\ntables2=EMP\r\n", {"BONUS"}},
      {"names match with their letter case", "tables1=emp\r\ntables2=DEPT\r\nx=\r\n", {"DEPT"}},
      {"alltables=1 takes every table in list order", "alltables=1\r\ntables1=BONUS\r\n",
       {"EMP", "DEPT", "BONUS"}},
      {"alltables other than 1 uses the keys", "alltables=01\r\ntables1=BONUS\r\n", {"BONUS"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    engine.jobs.clear();
    startBatch(c.parameters);
    window->onTimer("Timer1");
    EXPECT_TRUE(ui.errors.empty());
    ASSERT_EQ(engine.jobs.size(), 1u);
    EXPECT_EQ(engine.jobs[0].tables, c.expected);
    EXPECT_EQ(window->wizardPage(), 6);
    EXPECT_TRUE(window->closeRequested());
  }
}

TEST_F(BatchChainTest, TheRunKnowsTheParameterFile) {
  startBatch("oracleh=orcl\r\ntables1=EMP\r\n");
  std::string seen;
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    seen = host.batchParameterFile();
    return RunEnd::Completed;
  };
  window->onTimer("Timer1");
  EXPECT_EQ(seen, "C:\\jobs\\nightly.fennick");
}

TEST_F(BatchChainTest, AnEmptyTargetStopsSilentlyOnPage4AndNextByHandGoesOn) {
  startBatch("oracleh=orcl\r\ntables1=EMP\r\n", "  ");
  window->onTimer("Timer1");
  EXPECT_EQ(window->wizardPage(), 4);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(engine.jobs.empty());
  c("SaveDialog1").caption = c("editaccessname").caption = "C:\\o.mdb";
  click("btnext");
  ASSERT_EQ(engine.jobs.size(), 1u);
  EXPECT_EQ(engine.jobs[0].tables, (std::vector<std::string>{"EMP"}));
}

TEST_F(BatchChainTest, ARefusedConnectionStopsOnPage3WithTheErrorBox) {
  startBatch("oracleh=orcl\r\ntables1=EMP\r\n");
  engine.refuseConnection = "ORA-01017: invalid username/password; logon denied";
  window->onTimer("Timer1");
  EXPECT_EQ(window->wizardPage(), 3);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].text, "ORA-01017: invalid username/password; logon denied.");
  EXPECT_TRUE(engine.jobs.empty());
  EXPECT_FALSE(window->closeRequested());
}

TEST_F(BatchChainTest, AStoppedRunEndsTheChainOnTheLog) {
  startBatch("oracleh=orcl\r\ntables1=EMP\r\n");
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    return RunEnd::Stopped;
  };
  window->onTimer("Timer1");
  EXPECT_EQ(engine.jobs.size(), 1u);
  EXPECT_EQ(window->wizardPage(), 5);
  EXPECT_EQ(c("pg").itemIndex, 5);
  EXPECT_FALSE(window->closeRequested());
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(BatchChainTest, AStopInTheLastTableRunsOnce) {
  startBatch("oracleh=orcl\r\ntables1=EMP\r\n");
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    StopRequested = true;  // confirmed during the last table's rows
    host.closeMainWindow();
    return RunEnd::Completed;
  };
  window->onTimer("Timer1");
  EXPECT_EQ(engine.jobs.size(), 1u);
  EXPECT_TRUE(window->closeRequested());
}

TEST_F(BatchChainTest, ANextByHandBeforeTheTimerLeavesTheTimersNextIdleDuringTheRun) {
  startBatch("alltables=1\r\n");
  ui.onPump = [&] { window->onTimer("Timer1"); };
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    host.handlePendingMessages();
    host.closeMainWindow();
    return RunEnd::Completed;
  };
  click("btnext");
  EXPECT_EQ(engine.jobs.size(), 1u);
  EXPECT_EQ(window->wizardPage(), 6);
}

}  // namespace
}  // namespace fennick::test
