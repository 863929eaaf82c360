// The shortcut window's behaviour: its captions, the copy of the job from
// the main window, the table choice and the writing of the parameter file
// and the shortcut. Relies on the parameter file writer, the platform's
// shortcut service and the program's own path.
#include "batch/shortcut_window.h"

#include <optional>
#include <stdexcept>

#include "engine/run.h"
#include "platform/process.h"

namespace fennick {

namespace {

// The captions are the same whatever language the main window shows.
constexpr const char* kShortcutCaption = "创建快捷方式";

struct CaptionEntry {
  const char* component;
  const char* caption;
};
constexpr CaptionEntry kCaptions[] = {
    {"GroupBox1", "连接Orcle"},
    {"Label1", "Oracle服务名"},
    {"Label2", "Oracle用户名"},
    {"Label3", "Oracle密码"},
    {"GroupBox3", "Access设置"},
    {"labelaccessformat", "Access格式"},
    {"Label4", "如何处理已存在的表"},
    {"labelaccessname", "Access文件名"},
    {"GroupBox2", "转换方式"},
    {"chktabledefi", "只转换表定义"},
    {"chkskipindex", "不创建索引"},
    {"chkblobtotext", "BLOB转换为Text"},
    {"rgselecttable", "要转换的表"},
    {"bttableselect", "重新选择"},
    {"Button1", kShortcutCaption},
};

std::string quoted(const std::string& text) { return '"' + text + '"'; }

}  // namespace

Tmarfrm_bat::Tmarfrm_bat(ui::UiServices& ui, std::string title, ShortcutWriter writeShortcut)
    : ui_(ui),
      title_(std::move(title)),
      writeShortcut_(std::move(writeShortcut)),
      form_("Tmarfrm_bat", "", 631, 390) {
  defineComponents();
}

void Tmarfrm_bat::onCreate() {
  form_.setCaption(kShortcutCaption);
  for (const CaptionEntry& entry : kCaptions) form_[entry.component].caption = entry.caption;
  form_["rgselecttable"].items = {"部分表", "全部表"};
}

void Tmarfrm_bat::onClick(const std::string& component) {
  try {
    if (component == "rgselecttable") rgselecttableClick();
    if (component == "bttableselect") bttableselectClick();
    if (component == "Button1") Button1Click();
  } catch (const std::exception& error) {
    ui_.showError(ui::errorBoxText(error.what()), title_);
  }
}

void Tmarfrm_bat::btcreatebatClick(const ui::Form& wizard) {
  ui::Form& f = form_;
  f["edtoracleservice"].caption = wizard["edtservice"].caption;
  f["edtoracleusername"].caption = wizard["edtoracleusername"].caption;
  f["edtoraclepassword"].caption = wizard["edtoraclepassword"].caption;

  // The choice's item text, read as the list control reads it.
  const ui::Component& policy = wizard["processtable"];
  const int choice = policy.itemIndex;
  if (choice < 0 || choice >= static_cast<int>(policy.items.size()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(choice) + ")");
  f["edtoracleexits"].caption = policy.items[static_cast<std::size_t>(choice)];
  processtableIndex_ = choice;

  f["chktabledefi"].checked = wizard["chktabledefi"].checked;
  f["chkskipindex"].checked = wizard["chkskipindex"].checked;
  f["chkblobtotext"].checked = wizard["chkblobtotext"].checked;
  ui::Component& list = f["mysqltableselect"];
  list.clearItems();
  for (const std::string& table : wizard["selecttables"].items) list.addItem(table);
  f["cbaccessformat"].itemIndex = wizard["cbaccessformat"].itemIndex;
  f["editaccessname"].caption = wizard["editaccessname"].caption;
  accessmode_ = wizard["accessmode"].itemIndex;

  closeRequested_ = false;
  ui_.showModal(*this);
}

void Tmarfrm_bat::rgselecttableClick() {
  const bool listed = form_["rgselecttable"].itemIndex != 1;
  form_["mysqltableselect"].visible = listed;
  form_["bttableselect"].visible = listed;
}

void Tmarfrm_bat::bttableselectClick() {
  ui_.showMessage(std::string("现在将返回到上一个界面,当你选择好要导入的表后,请点击") +
                      quoted(kShortcutCaption) + "按钮,重新进入这个界面",
                  title_);
  closeRequested_ = true;
}

ShortcutJob Tmarfrm_bat::jobFromControls() const {
  const ui::Form& f = form_;
  ShortcutJob job;
  job.oracleh = f["edtoracleservice"].caption;
  job.oracleu = f["edtoracleusername"].caption;
  job.oraclep = f["edtoraclepassword"].caption;
  job.accessmode = accessmode_;
  job.accessfilename = f["editaccessname"].caption;
  job.accessformat = f["cbaccessformat"].itemIndex;
  job.processtable = processtableIndex_;
  job.tabledefonly = f["chktabledefi"].checked;
  job.skipindex = f["chkskipindex"].checked;
  job.blobtotext = f["chkblobtotext"].checked;
  job.alltables = f["rgselecttable"].itemIndex;
  job.tables = f["mysqltableselect"].items;
  return job;
}

void Tmarfrm_bat::Button1Click() {
  ui::SaveDialogRequest request;
  request.fileName = lastShortcutName_;
  request.defaultExtension = "lnk";
  request.filter = "lnk|*.lnk";
  const std::optional<std::string> chosen = ui_.saveFile(request);
  if (!chosen) return;
  lastShortcutName_ = *chosen;

  const std::string& shortcutName = *chosen;
  const std::vector<std::string> lines = parameterFileLines(jobFromControls());
  const std::string parameterFile = parameterFileName(shortcutName);
  const std::string logFile = batchLogName(parameterFile);
  writeParameterFile(parameterFile, lines);
  const platform::ShortcutLink link{platform::programPath(), {parameterFile},
                                    platform::programFolder()};
  writeShortcut_(shortcutName, link);

  ui_.showMessage("已经成功创建快捷方式文件" + quoted(shortcutName) + "。\r" +
                      "成功创建设置文件" + quoted(parameterFile) + "。\r" +
                      "在以快捷方式导入数据后,你可以参看Log文件" + quoted(logFile) + ".",
                  title_);
  closeRequested_ = true;
}

}  // namespace fennick
