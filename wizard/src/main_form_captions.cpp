// The captions of the main window in the current language: every label,
// radio group, group box and check box takes its text from the language's
// caption table by its name, and a few buttons get fixed captions.
#include "wizard/main_form.h"

namespace fennick {

namespace {

struct FixedCaption {
  const char* button;
  const char* chinese;
};
constexpr FixedCaption kChineseButtons[] = {
    {"btcreatebat", "创建快捷方式"}, {"Button1", "添加>"},     {"Button2", "添加全部>"},
    {"Button3", "<去除"},           {"Button4", "<去除全部"}, {"btbrowse", "浏览..."},
    {"bthelp", "帮助"},
};

void captionFromTable(ui::Form& form, const CaptionTable& table) {
  for (const auto& component : form.components())
    if (ui::isCaptioned(component->kind)) component->caption = table.lookup(component->name);
}

}  // namespace

void Taaform1::applycaptions() {
  if (languageCode_ == "en") {
    captionFromTable(form_, englishCaptions());
    form_["btcreatebat"].caption = "Create Shortcut File";
  } else if (languageCode_ == "cn") {
    captionFromTable(form_, chineseCaptions());
    for (const FixedCaption& fixed : kChineseButtons) form_[fixed.button].caption = fixed.chinese;
  }
}

}  // namespace fennick
