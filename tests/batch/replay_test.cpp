// A job saved through the shortcut window and replayed from the shortcut's
// own argument by a main window started in batch mode, the way the program
// wires the unattended start into the window's start hook.
#include <gtest/gtest.h>

#include "batch/command_line.h"
#include "batch/parameter_file.h"
#include "batch/shortcut_window.h"
#include "batch/unattended_start.h"
#include "test_support.h"
#include "wizard_fakes.h"

#ifdef _WIN32
#include "shell_link_reader.h"
#endif

namespace fennick::test {
namespace {

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    BatchMode = false;
    engine.schemaTables = {"BONUS", "DEPT", "EMP"};
  }
  void TearDown() override { BatchMode = false; }

  // Saves the job the user set up in a main window through the shortcut
  // window; returns the shortcut's name.
  std::string saveJob() {
    Taaform1 wizard(ui, noTarget(), {}, engine.wire());
    wizard.onCreate();
    ui::Form& w = wizard.form();
    w["edtservice"].caption = "orcl";
    w["edtoracleusername"].caption = "scott";
    w["edtoraclepassword"].caption = "ti=ger";
    w["processtable"].itemIndex = 2;
    w["chkskipindex"].checked = true;
    w["chkuppercase"].checked = true;  // not carried by the parameter file
    w["cbaccessformat"].itemIndex = 1;
    w["SaveDialog1"].caption = w["editaccessname"].caption = joinPath(dir, "scott.mdb");
    w["selecttables"].addItem("EMP");
    w["selecttables"].addItem("DEPT");

    Tmarfrm_bat window(ui, kApplicationTitle);
    window.onCreate();
    window.btcreatebatClick(w);
    window.form()["rgselecttable"].itemIndex = 0;
    window.onClick("rgselecttable");
    ui.saveAnswer = joinPath(dir, "nightly job.lnk");
    window.onClick("Button1");
    EXPECT_TRUE(ui.errors.empty()) << ui.errors[0].text;
    EXPECT_TRUE(window.closeRequested());
    return *ui.saveAnswer;
  }

  ScriptedUi ui;
  FakeEngine engine;
  const std::string dir = scratchDir();
};

TEST_F(ReplayTest, SavedJobIsReplayedFromTheShortcut) {
  const std::string shortcut = saveJob();
#ifdef _WIN32
  // The argument text exactly as the shell will pass it.
  const std::vector<std::string> arguments = splitCommandLine(readShellLink(shortcut).arguments);
#else
  const std::vector<std::string> arguments = {parameterFileName(shortcut)};
#endif
  ASSERT_EQ(arguments, std::vector<std::string>{parameterFileName(shortcut)});

  ASSERT_TRUE(setBatchModeFromArguments(arguments));
  ParameterList parameters;
  MainFormHooks hooks;
  hooks.unattendedStart = [&](Taaform1& window) {
    window.setBatchParameters(&parameters);
    window.setBatchParameterFile(arguments.front());
    if (!unattendedStart(window.form(), window.log(), parameters, ui, arguments))
      window.requestClose();
  };
  Taaform1 replay(ui, noTarget(), hooks, engine.wire());
  replay.onCreate();
  EXPECT_EQ(replay.log().lines().at(0).rfind("Start time:", 0), 0u);
  replay.onTimer("Timer1");

  ASSERT_TRUE(ui.errors.empty()) << ui.errors[0].text;
  ASSERT_EQ(engine.jobs.size(), 1u);
  const ConversionJob& job = engine.jobs[0];
  EXPECT_EQ(job.oracleh, "orcl");
  EXPECT_EQ(job.oracleu, "scott");
  EXPECT_EQ(job.oraclep, "ti=ger");
  EXPECT_EQ(job.processtable, 2);
  EXPECT_EQ(job.accessformat, 1);
  EXPECT_EQ(job.accessfilename, joinPath(dir, "scott.mdb"));
  EXPECT_TRUE(job.skipindex);
  EXPECT_FALSE(job.tabledefonly);
  EXPECT_FALSE(job.nameuppercase);
  EXPECT_EQ(job.tables, (std::vector<std::string>{"EMP", "DEPT"}));
  EXPECT_EQ(replay.wizardPage(), 6);
  EXPECT_TRUE(replay.closeRequested());
}

TEST_F(ReplayTest, MissingParameterFileEndsTheProgram) {
  const std::vector<std::string> arguments = {joinPath(dir, "gone.fennick")};
  ASSERT_TRUE(setBatchModeFromArguments(arguments));
  ParameterList parameters;
  MainFormHooks hooks;
  hooks.unattendedStart = [&](Taaform1& window) {
    if (!unattendedStart(window.form(), window.log(), parameters, ui, arguments))
      window.requestClose();
  };
  Taaform1 replay(ui, noTarget(), hooks, engine.wire());
  replay.onCreate();
  EXPECT_TRUE(replay.closeRequested());
  EXPECT_EQ(replay.log().LineCount(), 2u);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(engine.opens.empty());
}

}  // namespace
}  // namespace fennick::test
