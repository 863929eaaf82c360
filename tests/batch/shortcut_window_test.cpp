// The shortcut window: its captions, the copy of the main window's job, the
// table choice, and the files and messages of "创建快捷方式".
#include <gtest/gtest.h>

#include "batch/shortcut_window.h"
#include "batch_fakes.h"
#include "engine/flags.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/process.h"
#include "test_support.h"

namespace fennick {
namespace {

using test::ScriptedUi;

class ShortcutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main = test::mainWindow(wizardUi);
    ui::Form& w = main->form();
    w["edtservice"].caption = "orcl";
    w["edtoracleusername"].caption = "scott";
    w["edtoraclepassword"].caption = "ti=ger";
    w["processtable"].itemIndex = 2;
    w["chkskipindex"].checked = true;
    w["selecttables"].addItem("EMP");
    w["selecttables"].addItem("DEPT");
    w["cbaccessformat"].itemIndex = 1;
    w["editaccessname"].caption = "C:\\data\\scott.mdb";
    window.onCreate();
  }

  // Opens the window on the main window's job and chooses a shortcut name.
  void openAndChoose(const std::string& name) {
    window.btcreatebatClick(main->form());
    ui.saveAnswer = name;
  }

  ui::Component& c(const char* name) { return window.form()[name]; }

  ScriptedUi wizardUi, ui;
  std::unique_ptr<Taaform1> main;
  std::vector<std::pair<std::string, platform::ShortcutLink>> shortcuts;
  Tmarfrm_bat window{ui, kApplicationTitle,
                     [this](const std::string& path, const platform::ShortcutLink& link) {
                       shortcuts.emplace_back(path, link);
                     }};
  const std::string dir = test::scratchDir();
};

TEST_F(ShortcutWindowTest, CaptionsAndStartState) {
  const ui::Form& f = window.form();
  EXPECT_EQ(f.caption(), "创建快捷方式");
  EXPECT_EQ(f.clientWidth(), 631);
  EXPECT_EQ(f.clientHeight(), 390);
  EXPECT_EQ(c("GroupBox1").caption, "连接Orcle");
  EXPECT_EQ(c("Label4").caption, "如何处理已存在的表");
  EXPECT_EQ(c("chkblobtotext").caption, "BLOB转换为Text");
  EXPECT_EQ(c("Button1").caption, "创建快捷方式");
  EXPECT_EQ(c("bttableselect").caption, "重新选择");
  EXPECT_EQ(c("rgselecttable").items, (std::vector<std::string>{"部分表", "全部表"}));
  EXPECT_EQ(c("rgselecttable").itemIndex, 1);
  EXPECT_EQ(c("cbaccessformat").items,
            (std::vector<std::string>{"MS Access 95/97", "MS Access 2000"}));
  EXPECT_FALSE(c("mysqltableselect").visible);
  EXPECT_FALSE(c("bttableselect").visible);
  EXPECT_FALSE(c("edtoraclepassword").password);
  for (const auto& component : f.components())
    EXPECT_EQ(component->fontHeight, kShortcutWindowFontHeight) << component->name;
}

TEST_F(ShortcutWindowTest, CopiesTheJobAndOpensModally) {
  window.btcreatebatClick(main->form());
  EXPECT_EQ(ui.modalShown, 1);
  EXPECT_EQ(c("edtoracleservice").caption, "orcl");
  EXPECT_EQ(c("edtoraclepassword").caption, "ti=ger");
  EXPECT_EQ(c("edtoracleexits").caption, "Skip");
  EXPECT_TRUE(c("chkskipindex").checked);
  EXPECT_FALSE(c("chktabledefi").checked);
  EXPECT_EQ(c("mysqltableselect").items, (std::vector<std::string>{"EMP", "DEPT"}));
  EXPECT_EQ(c("cbaccessformat").itemIndex, 1);
  EXPECT_EQ(c("editaccessname").caption, "C:\\data\\scott.mdb");

  // Changes here stay here; a second opening refreshes from the main window.
  c("chktabledefi").checked = true;
  EXPECT_FALSE(main->form()["chktabledefi"].checked);
  window.btcreatebatClick(main->form());
  EXPECT_FALSE(c("chktabledefi").checked);
}

TEST_F(ShortcutWindowTest, NoExistingTableChoiceKeepsTheWindowShut) {
  main->form()["processtable"].itemIndex = -1;
  try {
    window.btcreatebatClick(main->form());
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_EQ(ui.modalShown, 0);
}

TEST_F(ShortcutWindowTest, TableChoiceShowsTheList) {
  window.btcreatebatClick(main->form());
  c("rgselecttable").itemIndex = 0;
  window.onClick("rgselecttable");
  EXPECT_TRUE(c("mysqltableselect").visible);
  EXPECT_TRUE(c("bttableselect").visible);

  window.onClick("bttableselect");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "现在将返回到上一个界面,当你选择好要导入的表后,请点击\"创建快捷方式\"按钮,"
            "重新进入这个界面");
  EXPECT_TRUE(window.closeRequested());

  // The choice survives the next opening.
  window.btcreatebatClick(main->form());
  EXPECT_FALSE(window.closeRequested());
  EXPECT_EQ(c("rgselecttable").itemIndex, 0);
  EXPECT_TRUE(c("mysqltableselect").visible);
}

TEST_F(ShortcutWindowTest, WritesTheParameterFileAndTheShortcut) {
  const std::string shortcut = test::joinPath(dir, "nightly.lnk");
  const std::string parameters = test::joinPath(dir, "nightly.fennick");
  const std::string log = test::joinPath(dir, "nightly.log");
  platform::writeWholeFile(parameters, "an older, longer file that must go away\r\n");
  openAndChoose(shortcut);
  c("rgselecttable").itemIndex = 0;
  c("cbaccessformat").itemIndex = -1;
  window.onClick("Button1");
  ASSERT_TRUE(ui.errors.empty()) << ui.errors[0].text;

  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].fileName, "");
  EXPECT_EQ(ui.saveRequests[0].filter, "lnk|*.lnk");
  EXPECT_EQ(ui.saveRequests[0].defaultExtension, "lnk");
  EXPECT_EQ(platform::readWholeFile(parameters),
            "oracleh=orcl\r\noracleu=scott\r\noraclep=ti=ger\r\naccessmode=0\r\n"
            "accessfilename=C:\\data\\scott.mdb\r\naccessformat=-1\r\nprocesstable=2\r\n"
            "tabledefonly=0\r\nskipindex=1\r\nblobtotext=0\r\nalltables=0\r\n"
            "tables1=EMP\r\ntables2=DEPT\r\n");
  ASSERT_EQ(shortcuts.size(), 1u);
  EXPECT_EQ(shortcuts[0].first, shortcut);
  EXPECT_EQ(shortcuts[0].second.program, platform::programPath());
  EXPECT_EQ(shortcuts[0].second.arguments, std::vector<std::string>{parameters});
  EXPECT_EQ(shortcuts[0].second.workingFolder, platform::programFolder());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "已经成功创建快捷方式文件\"" + shortcut + "\"。\r成功创建设置文件\"" + parameters +
                "\"。\r在以快捷方式导入数据后,你可以参看Log文件\"" + log + "\".");
  EXPECT_EQ(ui.messages[0].title, kApplicationTitle);
  EXPECT_TRUE(window.closeRequested());

  // The dialog starts from the name chosen last; with all tables chosen the
  // alltables line ends the file, whatever the list holds.
  openAndChoose(shortcut);
  c("rgselecttable").itemIndex = 1;
  window.onClick("Button1");
  EXPECT_EQ(ui.saveRequests[1].fileName, shortcut);
  const std::string bytes = platform::readWholeFile(parameters);
  EXPECT_EQ(bytes.substr(bytes.size() - 13), "alltables=1\r\n");
}

TEST_F(ShortcutWindowTest, CancelWritesNothing) {
  openAndChoose(test::joinPath(dir, "x.lnk"));
  ui.saveAnswer.reset();
  window.onClick("Button1");
  EXPECT_FALSE(platform::isRegularFile(test::joinPath(dir, "x.fennick")));
  EXPECT_TRUE(shortcuts.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_FALSE(window.closeRequested());
}

TEST_F(ShortcutWindowTest, ParameterFileThatCannotBeCreated) {
  const std::string folder = test::joinPath(dir, "missing");
  openAndChoose(test::joinPath(folder, "x.lnk"));
  window.onClick("Button1");
  ASSERT_EQ(ui.errors.size(), 1u);
  const std::string prefix = "Cannot create file \"" + test::joinPath(folder, "x.fennick") + "\". ";
  EXPECT_EQ(ui.errors[0].text.rfind(prefix, 0), 0u) << ui.errors[0].text;
  EXPECT_GT(ui.errors[0].text.size(), prefix.size());
  EXPECT_TRUE(shortcuts.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(window.closeRequested());
}

TEST_F(ShortcutWindowTest, ShortcutThatCannotBeCreated) {
  ScriptedUi failingUi;
  Tmarfrm_bat failing(
      failingUi, kApplicationTitle, [](const std::string&, const platform::ShortcutLink&) {
        throw platform::SystemError(
            "Class not registered, ClassID: {00021401-0000-0000-C000-000000000046}", 0);
      });
  failing.onCreate();
  failing.btcreatebatClick(main->form());
  failingUi.saveAnswer = test::joinPath(dir, "y.lnk");
  failing.onClick("Button1");
  ASSERT_EQ(failingUi.errors.size(), 1u);
  EXPECT_EQ(failingUi.errors[0].text,
            "Class not registered, ClassID: {00021401-0000-0000-C000-000000000046}.");
  EXPECT_TRUE(platform::isRegularFile(test::joinPath(dir, "y.fennick")));
  EXPECT_TRUE(failingUi.messages.empty());
  EXPECT_FALSE(failing.closeRequested());
}

}  // namespace
}  // namespace fennick
