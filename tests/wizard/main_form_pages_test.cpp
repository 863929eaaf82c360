// The page state machine of the main window: start, Next and Back through
// pages 1, 3, 4, 5 and 6, the buttons of every page, the page actions, the
// empty-name notice, the error box, Stop and Close.
#include "main_form_test_base.h"
#include "platform/process.h"

namespace fennick::test {
namespace {

struct ButtonRow {
  bool back, next, close, help;
  const char* nextCaption;
};

void expectButtons(Taaform1& w, const ButtonRow& row) {
  ui::Form& f = w.form();
  EXPECT_EQ(f["btback"].enabled, row.back);
  EXPECT_EQ(f["btnext"].enabled, row.next);
  EXPECT_EQ(f["btcancel"].enabled, row.close);
  EXPECT_EQ(f["bthelp"].enabled, row.help);
  EXPECT_EQ(f["btnext"].caption, row.nextCaption);
}

TEST_F(MainFormTest, StartSequenceRunsTheHooksInOrderAndShowsPage1) {
  std::vector<std::string> calls;
  MainFormHooks hooks;
  hooks.ensureDataFolder = [&](Taaform1& w) {
    calls.push_back("folder:" + w.form()["Label1"].caption);
  };
  hooks.loadSettings = [&](Taaform1& w) { calls.push_back("load:" + w.form()["Label1"].caption); };
  hooks.unattendedStart = [&](Taaform1&) { calls.push_back("unattended"); };
  hooks.saveSettings = [&](Taaform1&) { calls.push_back("save"); };
  StopRequested = true;
  Taaform1& w = start(hooks);
  // The captions are applied between the data folder and the settings.
  EXPECT_EQ(calls, (std::vector<std::string>{"folder:Welcome", "load:欢迎"}));
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(w.form().caption(), "Fennick 4.0");
  EXPECT_EQ(w.languageCode(), "cn");
  EXPECT_EQ(w.wizardPage(), 1);
  EXPECT_EQ(c("pg").itemIndex, 0);
  EXPECT_TRUE(c("Label1").bold);
  EXPECT_FALSE(c("Label3").bold);
  EXPECT_EQ(c("Panel4").bounds.left, 1);
  EXPECT_EQ(c("Panel4").bounds.top, 1);
  expectButtons(w, {false, true, true, true, "Next >"});
  w.onDestroy();  // as when the title bar closes the window: saved, nothing asked
  EXPECT_EQ(calls.back(), "save");
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(MainFormTest, UnattendedStartOnlyInBatchMode) {
  int unattended = 0;
  MainFormHooks hooks;
  hooks.unattendedStart = [&](Taaform1& w) {
    EXPECT_EQ(w.form()["btcancel"].caption, "Close");  // before page 1 is set up
    ++unattended;
  };
  start(hooks);
  EXPECT_EQ(unattended, 0);
  BatchMode = true;
  start(hooks);
  EXPECT_EQ(unattended, 1);
}

TEST_F(MainFormTest, AFailingStartShowsTheErrorBoxAndStillOpensOnPage1) {
  MainFormHooks hooks;
  hooks.loadSettings = [](Taaform1&) { throw std::runtime_error("''abc'' is not a valid integer value"); };
  Taaform1& w = start(hooks);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].text, "''abc'' is not a valid integer value.");
  EXPECT_EQ(ui.errors[0].title, "Fennick 4.0");
  EXPECT_EQ(w.wizardPage(), 1);
  EXPECT_TRUE(c("btnext").enabled);
}

TEST_F(MainFormTest, NextAndBackWalkThePagesAndSkipPage2) {
  Taaform1& w = start();
  struct Step {
    const char* button;
    int page;
    ButtonRow buttons;
    const char* focus;  // nullptr: not checked
  };
  c("SaveDialog1").caption = c("editaccessname").caption = "C:\\t.mdb";
  const Step steps[] = {
      {"btnext", 3, {true, true, true, true, "Next >"}, "edtservice"},
      {"btback", 1, {false, true, true, true, "Next >"}, nullptr},
      {"btnext", 3, {true, true, true, true, "Next >"}, "edtservice"},
      {"btnext", 4, {true, true, true, true, "Next >"}, nullptr},
      {"btnext", 5, {true, false, true, true, "Next >"}, "availabletables"},
      {"btback", 4, {true, true, true, true, "Next >"}, nullptr},
      {"btback", 3, {true, true, true, true, "Next >"}, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.button) + " to page " + std::to_string(step.page));
    click(step.button);
    EXPECT_EQ(w.wizardPage(), step.page);
    EXPECT_EQ(c("pg").itemIndex, step.page - 1);
    expectButtons(w, step.buttons);
    for (const char* label : {"Label1", "Label3", "Label4", "Label5", "Label6"})
      EXPECT_EQ(c(label).bold, label[5] - '0' == step.page) << label;
    if (step.focus) {
      EXPECT_EQ(w.form().focus(), step.focus);
    }
  }
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainFormTest, Page3OpensTheSourceFromTheThreeEdits) {
  start();
  click("btnext");
  c("edtservice").caption = "orcl";
  c("edtoracleusername").caption = "scott";
  c("edtoraclepassword").caption = "tiger";
  EXPECT_TRUE(c("edtoraclepassword").password);
  click("btnext");
  ASSERT_EQ(engine.opens.size(), 1u);
  EXPECT_EQ(engine.opens[0], (std::vector<std::string>{"orcl", "scott", "tiger"}));
  EXPECT_EQ(window->wizardPage(), 4);
}

TEST_F(MainFormTest, ARefusedConnectionShowsTheErrorBoxAndStaysOnPage3) {
  start();
  click("btnext");
  engine.refuseConnection = "ORA-12154: TNS:could not resolve the connect identifier specified";
  c("edtservice").caption = "nowhere";
  click("btnext");
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].text, engine.refuseConnection + ".");
  EXPECT_EQ(ui.errors[0].title, "Fennick 4.0");
  EXPECT_EQ(window->wizardPage(), 3);
  EXPECT_EQ(c("edtservice").caption, "nowhere");
}

TEST_F(MainFormTest, AnEmptyOrBlankTargetNameStopsPage4WithItsNotice) {
  for (const char* name : {"", "   ", " \t "}) {
    SCOPED_TRACE(std::string("name '") + name + "'");
    ui.messages.clear();
    start();
    click("btnext");
    click("btnext");
    c("editaccessname").caption = name;
    window->form().setFocus("");
    click("btnext");
    EXPECT_EQ(window->wizardPage(), 4);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "请输入Access文件名");
    EXPECT_EQ(ui.messages[0].title, "Fennick 4.0");
    EXPECT_EQ(window->form().focus(), "btbrowse");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(engine.queries.empty());
  }
}

TEST_F(MainFormTest, Page4ListsTheTablesOnceAfterBackFromPage5) {
  start();
  walkToPage5();
  ASSERT_EQ(engine.queries.size(), 1u);
  EXPECT_EQ(engine.queries[0], "select  table_name   from   user_tables order by table_name");
  EXPECT_EQ(c("availabletables").items, engine.schemaTables);  // in the source's order
  EXPECT_EQ(c("availabletables").caret, 0);
  EXPECT_EQ(c("availabletables").selected, std::vector<bool>(3, false));
  selectEntries("availabletables", {"DEPT"});
  click("Button1");
  click("btback");
  EXPECT_TRUE(c("availabletables").items.empty());
  EXPECT_TRUE(c("selecttables").items.empty());
  click("btnext");
  EXPECT_EQ(c("availabletables").items, engine.schemaTables);
}

TEST_F(MainFormTest, BrowseStartsFromThePathOrTheInitialFolder) {
  start();
  c("SaveDialog1").initialFolder = "C:\\Users\\me\\AppData\\Roaming\\Marrowby\\";
  ui.saveAnswer = "C:\\out\\new.mdb";
  click("btbrowse");
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].fileName, "");
  EXPECT_EQ(ui.saveRequests[0].initialFolder, "C:\\Users\\me\\AppData\\Roaming\\Marrowby\\");
  EXPECT_EQ(ui.saveRequests[0].defaultExtension, "mdb");
  EXPECT_EQ(ui.saveRequests[0].filter, "MS Access Databases (.mdb)|*.mdb");
  EXPECT_EQ(c("SaveDialog1").caption, "C:\\out\\new.mdb");
  EXPECT_EQ(c("editaccessname").caption, "C:\\out\\new.mdb");
  EXPECT_TRUE(c("editaccessname").readOnly);
  ui.saveAnswer.reset();
  click("btbrowse");
  EXPECT_EQ(ui.saveRequests[1].fileName, "C:\\out\\new.mdb");
  EXPECT_EQ(c("SaveDialog1").caption, "C:\\out\\new.mdb");  // cancelled: unchanged
}

TEST_F(MainFormTest, ARunShowsTheLogAndFinishEndsTheProgram) {
  start();
  walkToPage5();
  c("processtable").itemIndex = 2;
  c("cbaccessformat").itemIndex = 1;
  c("chkskipindex").checked = true;
  c("chkuppercase").checked = true;
  selectEntries("availabletables", {"BONUS", "EMP"});
  click("Button1");
  engine.run = [&](ConversionLog& log, ConversionHost& host) {
    host.runStarting();
    EXPECT_EQ(window->wizardPage(), 5);
    EXPECT_EQ(c("pg").itemIndex, 5);
    EXPECT_FALSE(c("btback").enabled);
    EXPECT_FALSE(c("btnext").enabled);
    EXPECT_EQ(c("btcancel").caption, "Stop");
    EXPECT_TRUE(c("btcancel").enabled);
    EXPECT_TRUE(c("Label5").bold);
    log.AppendLine("Create table EMP... Done");
    return RunEnd::Completed;
  };
  click("btnext");
  ASSERT_EQ(engine.jobs.size(), 1u);
  const ConversionJob& job = engine.jobs[0];
  EXPECT_EQ(job.oracleh, "orcl");
  EXPECT_EQ(job.oracleu, "scott");
  EXPECT_EQ(job.oraclep, "tiger");
  EXPECT_EQ(job.accessfilename, "C:\\data\\scott.mdb");
  EXPECT_EQ(job.processtable, 2);
  EXPECT_EQ(job.accessformat, 1);
  EXPECT_TRUE(job.skipindex);
  EXPECT_FALSE(job.tabledefonly);
  EXPECT_TRUE(job.nameuppercase);
  EXPECT_EQ(job.tables, (std::vector<std::string>{"EMP", "BONUS"}));
  EXPECT_EQ(engine.texts[0].completed, "已经完成转换");
  EXPECT_EQ(engine.texts[0].clickFinish, "点击 'Finish' 离开本向导.");

  EXPECT_EQ(window->wizardPage(), 6);
  expectButtons(*window, {false, true, false, false, "Finish"});
  EXPECT_EQ(c("btcancel").caption, "Stop");
  EXPECT_EQ(c("sc").caption, "Create table EMP... Done\r\n");
  click("Image1");  // works while Help is disabled
  EXPECT_EQ(ui.opened, (std::vector<std::string>{platform::programFolder() + "help\\zh\\index.html"}));
  EXPECT_FALSE(window->closeRequested());

  click("btnext");  // Finish
  EXPECT_TRUE(window->closeRequested());
  EXPECT_EQ(window->log().LineCount(), 0u);
  EXPECT_EQ(c("sc").caption, "");
  EXPECT_TRUE(c("selecttables").items.empty());
  EXPECT_EQ(window->wizardPage(), 1);
}

TEST_F(MainFormTest, StopAnsweredNoLetsTheRunGoOn) {
  start();
  walkToPage5();
  click("Button2");
  ui.onPump = [&] { click("btcancel"); };
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    host.handlePendingMessages();
    EXPECT_FALSE(StopRequested);
    EXPECT_EQ(c("btcancel").caption, "Stop");
    EXPECT_FALSE(c("btback").enabled);
    return RunEnd::Completed;
  };
  click("btnext");
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].text, "Stop");
  EXPECT_EQ(ui.questions[0].title, "Info");
  EXPECT_EQ(window->wizardPage(), 6);
}

TEST_F(MainFormTest, StopConfirmedBeforeATableLeavesTheLogOnPage5) {
  start();
  walkToPage5();
  click("Button2");
  ui.answers = {true};
  ui.onPump = [&] { click("btcancel"); };
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    host.handlePendingMessages();
    EXPECT_TRUE(StopRequested);
    StopRequested = false;  // the run honours the stop before its next table
    return RunEnd::Stopped;
  };
  click("btnext");
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(window->wizardPage(), 5);
  EXPECT_EQ(c("pg").itemIndex, 5);
  EXPECT_TRUE(c("btback").enabled);
  EXPECT_FALSE(c("btnext").enabled);
  EXPECT_EQ(c("btcancel").caption, "Close");
  EXPECT_TRUE(c("Label5").bold);
  // Close is the Close question again.
  ui.answers = {false};
  click("btcancel");
  EXPECT_EQ(ui.questions.back().title, "Information");
  click("btback");
  EXPECT_EQ(window->wizardPage(), 4);
  EXPECT_TRUE(c("availabletables").items.empty());
}

TEST_F(MainFormTest, AStopInTheLastTableIsClearedByBackSoThatNextMovesOnAgain) {
  start();
  walkToPage5();
  click("Button2");
  ui.answers = {true};
  ui.onPump = [&] { click("btcancel"); };
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    host.handlePendingMessages();  // Stop confirmed during the last row copy
    return RunEnd::Completed;
  };
  click("btnext");
  EXPECT_EQ(window->wizardPage(), 5);
  EXPECT_EQ(c("pg").itemIndex, 5);
  EXPECT_TRUE(c("btback").enabled);
  EXPECT_FALSE(c("btnext").enabled);
  click("btback");
  EXPECT_FALSE(StopRequested);
  click("btnext");
  EXPECT_EQ(window->wizardPage(), 5);
}

TEST_F(MainFormTest, ARunFailingBeforeItsFirstTableKeepsTheRunButtons) {
  start();
  walkToPage5();
  click("Button2");
  engine.run = [&](ConversionLog&, ConversionHost& host) -> RunEnd {
    host.runStarting();
    throw std::runtime_error("Cannot create file \"C:\\data\\scott.mdb\". Access is denied");
  };
  click("btnext");
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].text, "Cannot create file \"C:\\data\\scott.mdb\". Access is denied.");
  EXPECT_EQ(window->wizardPage(), 5);
  EXPECT_FALSE(c("btback").enabled);
  EXPECT_FALSE(c("btnext").enabled);
  EXPECT_EQ(c("btcancel").caption, "Stop");
  ui.answers = {true};
  click("btcancel");
  EXPECT_TRUE(c("btback").enabled);
  EXPECT_EQ(c("btcancel").caption, "Close");
  click("btback");
  EXPECT_EQ(window->wizardPage(), 4);
  EXPECT_FALSE(StopRequested);
}

TEST_F(MainFormTest, NoSecondRunStartsInsideARun) {
  start();
  walkToPage5();
  click("Button2");
  ui.onPump = [&] {
    click("btnext");
    window->onTimer("Timer1");
  };
  engine.run = [&](ConversionLog&, ConversionHost& host) {
    host.runStarting();
    host.handlePendingMessages();
    return RunEnd::Completed;
  };
  click("btnext");
  EXPECT_EQ(engine.jobs.size(), 1u);
  EXPECT_EQ(window->wizardPage(), 6);
}

TEST_F(MainFormTest, CloseAsksWithTheLanguagesQuestion) {
  start();
  ui.answers = {false, true};
  click("btcancel");
  EXPECT_FALSE(window->closeRequested());
  click("btcancel");
  EXPECT_TRUE(window->closeRequested());
  ASSERT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(ui.questions[0].text, "退出向导 ?");
  EXPECT_EQ(ui.questions[0].title, "Information");
}

TEST_F(MainFormTest, HelpOpensTheAddressOfTheLanguage) {
  start();
  window->setLanguageCode("en");
  window->applycaptions();
  click("bthelp");
  EXPECT_EQ(ui.opened, (std::vector<std::string>{platform::programFolder() + "help\\en\\index.html"}));
}

TEST_F(MainFormTest, TheMemoFollowsTheLog) {
  start();
  EXPECT_TRUE(c("sc").readOnly);
  EXPECT_TRUE(c("sc").wordWrap);
  EXPECT_TRUE(c("sc").verticalScrollBar);
  window->log().AppendLine("one");
  window->log().AppendLine("two");
  window->log().ReplaceLastLine("three");
  EXPECT_EQ(c("sc").caption, "one\r\nthree\r\n");
  window->log().ClearLog();
  EXPECT_EQ(c("sc").caption, "");
}

}  // namespace
}  // namespace fennick::test
