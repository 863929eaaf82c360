// The captions the main window takes from the caption tables in either
// language, and the texts the code reads from hidden labels.
#include "main_form_test_base.h"

namespace fennick::test {
namespace {

using CaptionsTest = MainFormTest;

TEST_F(CaptionsTest, ChineseAtStartLeavesThreeLabelsEmpty) {
  start();
  for (const char* name : {"Label8", "Label19", "Label20"}) EXPECT_EQ(c(name).caption, "") << name;
  EXPECT_EQ(c("Label7").caption, "欢迎使用数据库转换向导");
  EXPECT_EQ(c("processtable").caption, "如何处理已经存在的表:");
  EXPECT_EQ(c("chkuppercase").caption, "名称转换为大写");
  // Only captions change: the items and the other buttons stay.
  EXPECT_EQ(c("processtable").items, (std::vector<std::string>{"Overwrite", "Merge", "Skip"}));
  EXPECT_EQ(c("btnext").caption, "Next >");
  const std::pair<const char*, const char*> fixed[] = {
      {"btcreatebat", "创建快捷方式"}, {"Button1", "添加>"},     {"Button2", "添加全部>"},
      {"Button3", "<去除"},           {"Button4", "<去除全部"}, {"btbrowse", "浏览..."},
      {"bthelp", "帮助"}};
  for (const auto& [button, text] : fixed) EXPECT_EQ(c(button).caption, text) << button;
}

TEST_F(CaptionsTest, EnglishSetsEveryCaptionedComponentByName) {
  start();
  window->form().add("Label99", ui::Kind::Label, "TabSheet1", {7, 120, 100, 13}, "spare");
  window->setLanguageCode("en");
  window->applycaptions();
  EXPECT_EQ(c("Label99").caption, "");  // no line: empty, not its designed caption
  EXPECT_EQ(c("Label8").caption, "Conversion Wizard");
  EXPECT_EQ(c("authorization").caption, "Authorization settings");
  EXPECT_EQ(c("labelaccessname").caption, "MS Access database name:");
  EXPECT_EQ(c("btcreatebat").caption, "Create Shortcut File");
  // The buttons keep what the Chinese start gave them.
  EXPECT_EQ(c("Button1").caption, "添加>");
  // An unknown language code changes nothing.
  window->setLanguageCode("EN");
  window->applycaptions();
  EXPECT_EQ(c("Label8").caption, "Conversion Wizard");
}

TEST_F(CaptionsTest, TextsTheCodeReadsFollowTheLanguage) {
  start();
  window->setLanguageCode("en");
  window->applycaptions();
  ui.answers = {false};
  click("btcancel");
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].text, "Close this Wizard ?");
  walkToPage5();
  click("Button2");
  click("btnext");
  ASSERT_EQ(engine.texts.size(), 1u);
  EXPECT_EQ(engine.texts[0].completed, "Conversion is Completed");
  EXPECT_EQ(engine.texts[0].migrated,
            "Wizard has migrated your Oracle database to Access successfully.");
  EXPECT_EQ(engine.texts[0].clickFinish, "Click 'Finish' to exit the wizard.");
}

}  // namespace
}  // namespace fennick::test
