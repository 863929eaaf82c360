// The whole program under Wine: the real main window over the real engine,
// driven as a user drives it (typed text, clicks, list selections), from the
// SQLite sample into new .mdb files; a job saved through the shortcut window
// and replayed by fennick.exe itself from the shortcut's own argument. The
// files are left in tests/win32/end_to_end/ of the build tree, where
// check_end_to_end.sh then reads them with mdbtools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "batch/command_line.h"
#include "batch/parameter_file.h"
#include "batch/shortcut_window.h"
#include "batch/unattended_start.h"
#include "engine/flags.h"
#include "engine/target.h"
#include "shell_link_reader.h"
#include "test_support.h"
#include "view_test_support.h"
#include "win32/win32_ui.h"
#include "wizard/main_form.h"

namespace fennick::ui::win32 {
namespace {

namespace fs = std::filesystem;
namespace support = ::fennick::test;         // paths, the shell link reader
namespace view = ::fennick::ui::win32::test;  // the window tests' helpers

// The folder the native mdbtools step reads. Emptied once per run, before
// any test may be skipped, so that the step never judges an earlier run's
// files.
std::string outputFolder() {
  static const std::string folder = [] {
    const std::string path = support::binaryPath("tests/win32/end_to_end");
    std::error_code ignored;
    fs::remove_all(fs::path(path), ignored);
    fs::create_directories(fs::path(path));
    return path;
  }();
  return folder;
}

std::string fresh(const std::string& name) {
  const std::string path = support::joinPath(outputFolder(), name);
  std::error_code ignored;
  fs::remove(fs::path(path), ignored);
  return path;
}

std::string samplePath() { return support::binaryPath("samples/sample.db"); }

std::string readFile(const std::string& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The system dialogs as a user answers them: every message box with OK (and
// recorded), the save dialog with the name the test chose.
struct UserAtTheDialogs {
  std::vector<view::MessageBoxCall> messageBoxes;
  std::wstring saveAnswer;
  Dialogs dialogs() {
    Dialogs d;
    d.messageBox = [this](HWND, const wchar_t* text, const wchar_t* title, UINT type) {
      messageBoxes.push_back({text, title, type});
      return IDOK;
    };
    d.saveFileName = [this](OPENFILENAMEW& dialog) {
      if (saveAnswer.empty() || saveAnswer.size() >= dialog.nMaxFile) return false;
      std::copy(saveAnswer.begin(), saveAnswer.end(), dialog.lpstrFile);
      dialog.lpstrFile[saveAnswer.size()] = L'\0';
      return true;
    };
    d.shellExecute = [](HWND, const wchar_t*, const wchar_t*, int) {};
    return d;
  }
  std::string messages() const {
    std::string all;
    for (const auto& box : messageBoxes) all += narrow(box.text) + "\n";
    return all;
  }
};

// Runs `action` once, from inside the message loop that runs next (a modal
// window's own loop, say).
std::function<void()>& pendingAction() {
  static std::function<void()> action;
  return action;
}
void CALLBACK runPendingAction(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> action = std::move(pendingAction());
  pendingAction() = nullptr;
  if (action) action();
}
void runFromTheNextLoop(std::function<void()> action) {
  pendingAction() = std::move(action);
  SetTimer(nullptr, 0, 50, runPendingAction);
}

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() : ui_(kApplicationTitle, user_.dialogs()) {}
  void SetUp() override {
    outputFolder();
    SKIP_WITHOUT_DISPLAY();
    StopRequested = false;
    BatchMode = false;
  }
  void TearDown() override {
    ui_.closeMain();
    // The main window's end posts the quit that would end the next test's
    // first message loop: this test had none to take it.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      if (message.message != WM_QUIT) DispatchMessageW(&message);
    BatchMode = false;
  }

  // The real main window over the real engine; the shortcut window behind
  // "Create Shortcut File", as the program wires it.
  void openWizard(MainFormHooks hooks = {}) {
    hooks.openShortcutWindow = [this](Taaform1& window) {
      shortcutWindow_.btcreatebatClick(window.form());
    };
    wizard_ = std::make_unique<Taaform1>(ui_, jetTargetOpener(), std::move(hooks));
    window_ = &ui_.openMain(*wizard_);
  }

  HWND control(const char* name) { return window_->control(name); }
  std::string text(const char* name) { return narrow(windowText(control(name))); }
  void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  void click(const char* name) { click(control(name)); }
  // Selects the box's text and types over it, key by key.
  void type(const char* name, const std::string& text) {
    HWND edit = control(name);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : wide(text)) SendMessageW(edit, WM_CHAR, c, 1);
  }
  void check(const char* name, bool on) {
    if ((SendMessageW(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED) != on) click(name);
  }
  bool pageShown(const char* tabSheet) { return IsWindowVisible(control(tabSheet)); }

  // Pages 1 to 5 as a user goes through them: the sample as the source,
  // Overwrite, indexes converted, the format and target file chosen through
  // Browse, and the three tables picked (the list selection, then "Add >").
  void setUpTheJob(int accessFormat, const std::string& target) {
    click("btnext");
    ASSERT_TRUE(pageShown("TabSheet3")) << user_.messages();
    type("edtservice", "sqlite:" + samplePath());
    type("edtoracleusername", "scott");
    type("edtoraclepassword", "tiger");
    click("btnext");
    ASSERT_TRUE(pageShown("TabSheet4")) << user_.messages();
    click(window_->radioButton("processtable", 0));
    check("chkskipindex", false);  // indexes converted too
    SendMessageW(control("cbaccessformat"), CB_SETCURSEL, accessFormat, 0);
    user_.saveAnswer = wide(target);
    click("btbrowse");
    ASSERT_EQ(text("editaccessname"), target);
    click("btnext");
    ASSERT_TRUE(pageShown("TabSheet5")) << user_.messages();
    HWND available = control("availabletables");
    for (const char* table : {"DEPARTMENTS", "EMPLOYEES", "SALARIES"}) {
      const LRESULT at = SendMessageW(available, LB_FINDSTRINGEXACT, -1,
                                      reinterpret_cast<LPARAM>(wide(table).c_str()));
      ASSERT_NE(at, LB_ERR) << table;
      SendMessageW(available, LB_SETSEL, TRUE, at);
    }
    click("Button1");
    ASSERT_EQ(SendMessageW(control("selecttables"), LB_GETCOUNT, 0, 0), 3);
    ASSERT_TRUE(IsWindowEnabled(control("btnext")));
  }

  UserAtTheDialogs user_;
  Win32Ui ui_;
  Tmarfrm_bat shortcutWindow_{ui_, kApplicationTitle};
  std::unique_ptr<Taaform1> wizard_;
  FormWindow* window_ = nullptr;
};

// What a run of the three sample tables leaves in its log.
void expectCompletedRun(const std::string& log) {
  for (const char* table : {"DEPARTMENTS", "EMPLOYEES", "SALARIES"}) {
    SCOPED_TRACE(table);
    EXPECT_NE(log.find(std::string("Create table ") + table + "...Done"), std::string::npos);
    const std::size_t insert = log.find(std::string("Insert table ") + table);
    ASSERT_NE(insert, std::string::npos);
    const std::size_t lineEnd = log.find_first_of("\r\n", insert);
    EXPECT_NE(log.substr(insert, lineEnd - insert).find("...Done"), std::string::npos)
        << log.substr(insert, lineEnd - insert);
  }
}

TEST_F(EndToEndTest, WholeConversionThroughTheWindow) {
  const std::string target = fresh("wizard.mdb");
  openWizard();
  setUpTheJob(1, target);  // Access 2000
  if (HasFatalFailure()) return;

  click("btnext");  // the run
  EXPECT_TRUE(user_.messageBoxes.empty()) << user_.messages();
  ASSERT_TRUE(pageShown("TabSheet6"));
  const std::string log = text("sc");
  expectCompletedRun(log);
  EXPECT_EQ(log.find("rror"), std::string::npos) << log;
  EXPECT_EQ(text("btnext"), "Finish");
  EXPECT_FALSE(IsWindowEnabled(control("btback")));
  EXPECT_TRUE(fs::exists(fs::path(target)));

  click("btnext");  // Finish ends the program
  EXPECT_FALSE(window_->isOpen());
}

TEST_F(EndToEndTest, ShortcutSavedThroughTheWindowIsReplayedByTheProgram) {
  const std::string target = fresh("replay.mdb");
  const std::string shortcut = fresh("nightly job.lnk");
  const std::string parameterFile = parameterFileName(shortcut);
  const std::string batchLog = fresh("nightly job.log");
  openWizard();
  setUpTheJob(0, target);  // Access 95/97
  if (HasFatalFailure()) return;

  // In the shortcut window: "部分表" (the listed tables), then its button
  // and the name of the shortcut in the save dialog.
  bool shortcutWindowSeen = false;
  runFromTheNextLoop([&] {
    FormWindow* shortcutWindow = ui_.activeWindow();
    if (!shortcutWindow || shortcutWindow == window_) return;
    shortcutWindowSeen = true;
    click(shortcutWindow->radioButton("rgselecttable", 0));
    user_.saveAnswer = wide(shortcut);
    click(shortcutWindow->control("Button1"));
  });
  click("btcreatebat");  // returns when the shortcut window has closed
  ASSERT_TRUE(shortcutWindowSeen) << user_.messages();
  ASSERT_EQ(user_.messageBoxes.size(), 1u);
  EXPECT_NE(narrow(user_.messageBoxes[0].text).find(parameterFile), std::string::npos);
  ui_.closeMain();

  // What the shell will start, read back from the link.
  const support::ReadLink link = support::readShellLink(shortcut);
  const std::vector<std::string> arguments = splitCommandLine(link.arguments);
  ASSERT_EQ(arguments, std::vector<std::string>{parameterFile});
  const std::string program = support::binaryPath("bin/fennick.exe");
  std::wstring commandLine = wide("\"" + program + "\" " + link.arguments);
  const std::wstring folder = wide(link.workingFolder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(wide(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, folder.c_str(), &startup, &process));
  const DWORD waited = WaitForSingleObject(process.hProcess, 180000);
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the replay did not end by itself";
  EXPECT_EQ(exitCode, 0u);

  // The batch log beside the parameter file tells the whole run.
  const std::string log = readFile(batchLog);
  ASSERT_EQ(log.rfind("Start time:", 0), 0u) << log;
  expectCompletedRun(log);
  // Saved as the run ends: the end time is its last line, before the
  // "click Finish" line the window would show.
  const std::size_t lastLine = log.rfind("\r\n", log.size() - 3);
  EXPECT_EQ(log.compare(lastLine + 2, 13, "The end time:"), 0) << log;
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  EXPECT_TRUE(fs::exists(fs::path(target)));
}

// A malformed whole number in the job: the error box, then the window on
// page 1 with the values before that key applied, those after it not, no
// start timer, and Next there to move on.
TEST_F(EndToEndTest, MalformedNumberInTheJobLeavesPageOneWithTheValuesSoFar) {
  const std::string job = fresh("malformed.fennick");
  {
    std::ofstream out(fs::path(job), std::ios::binary);
    out << "accessmode=0\r\noracleh=orcl\r\noracleu=scott\r\naccessformat=1\r\n"
           "accessfilename=C:\\out\\x.mdb\r\nprocesstable=two\r\nskipindex=1\r\n";
  }
  const std::vector<std::string> arguments = {job};
  ASSERT_TRUE(setBatchModeFromArguments(arguments));
  ParameterList parameters;
  MainFormHooks hooks;
  hooks.unattendedStart = [&](Taaform1& window) {
    window.setBatchParameters(&parameters);
    if (!unattendedStart(window.form(), window.log(), parameters, ui_, arguments))
      window.requestClose();
  };
  openWizard(std::move(hooks));

  ASSERT_EQ(user_.messageBoxes.size(), 1u);
  EXPECT_EQ(narrow(user_.messageBoxes[0].text), "''two'' is not a valid integer value.");
  EXPECT_EQ(user_.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  view::pumpFor(1500);  // longer than the start timer would take
  ASSERT_TRUE(window_->isOpen());
  EXPECT_TRUE(pageShown("TabSheet1"));
  EXPECT_FALSE(IsWindowEnabled(control("btback")));
  EXPECT_EQ(text("edtservice"), "orcl");
  EXPECT_EQ(text("edtoracleusername"), "scott");
  EXPECT_EQ(text("edtoraclepassword"), "");
  EXPECT_EQ(SendMessageW(control("cbaccessformat"), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(text("editaccessname"), "C:\\out\\x.mdb");
  EXPECT_NE(SendMessageW(control("chkskipindex"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(control("btnext")));
}

}  // namespace
}  // namespace fennick::ui::win32
