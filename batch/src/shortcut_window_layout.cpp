// The components of the shortcut window `Tmarfrm_bat`, top to bottom: the
// connection, the Access settings, the conversion options, the table choice
// and the button. Captions are set by FormCreate.
#include "batch/shortcut_window.h"

namespace fennick {

using ui::Bounds;
using ui::Component;
using ui::Kind;
using ui::kButtonHeight;
using ui::kCheckHeight;
using ui::kEditHeight;
using ui::kLabelHeight;

namespace {


Component& readOnlyEdit(ui::Form& form, const char* name, const char* parent, Bounds bounds) {
  Component& edit = form.add(name, Kind::Edit, parent, bounds);
  edit.readOnly = true;
  return edit;
}

}  // namespace

void Tmarfrm_bat::defineComponents() {
  ui::Form& f = form_;

  f.add("GroupBox1", Kind::GroupBox, "", Bounds{8, 8, 615, 72});
  f.add("Label1", Kind::Label, "GroupBox1", Bounds{12, 20, 185, kLabelHeight});
  readOnlyEdit(f, "edtoracleservice", "GroupBox1", Bounds{12, 38, 185, kEditHeight});
  f.add("Label2", Kind::Label, "GroupBox1", Bounds{212, 20, 185, kLabelHeight});
  readOnlyEdit(f, "edtoracleusername", "GroupBox1", Bounds{212, 38, 185, kEditHeight});
  f.add("Label3", Kind::Label, "GroupBox1", Bounds{412, 20, 185, kLabelHeight});
  readOnlyEdit(f, "edtoraclepassword", "GroupBox1", Bounds{412, 38, 185, kEditHeight});

  f.add("GroupBox3", Kind::GroupBox, "", Bounds{8, 88, 615, 110});
  f.add("labelaccessformat", Kind::Label, "GroupBox3", Bounds{12, 20, 185, kLabelHeight});
  f.add("cbaccessformat", Kind::ComboBox, "GroupBox3", Bounds{12, 38, 185, kEditHeight}).items = {
      "MS Access 95/97", "MS Access 2000"};
  f.add("Label4", Kind::Label, "GroupBox3", Bounds{212, 20, 185, kLabelHeight});
  readOnlyEdit(f, "edtoracleexits", "GroupBox3", Bounds{212, 38, 185, kEditHeight});
  f.add("labelaccessname", Kind::Label, "GroupBox3", Bounds{12, 64, 185, kLabelHeight});
  readOnlyEdit(f, "editaccessname", "GroupBox3", Bounds{12, 80, 591, kEditHeight});

  f.add("GroupBox2", Kind::GroupBox, "", Bounds{8, 206, 200, 130});
  f.add("chktabledefi", Kind::CheckBox, "GroupBox2", Bounds{12, 24, 176, kCheckHeight});
  f.add("chkskipindex", Kind::CheckBox, "GroupBox2", Bounds{12, 56, 176, kCheckHeight});
  f.add("chkblobtotext", Kind::CheckBox, "GroupBox2", Bounds{12, 88, 176, kCheckHeight});

  Component& choice = f.add("rgselecttable", Kind::RadioGroup, "", Bounds{216, 206, 170, 130});
  choice.itemIndex = 1;
  Component& list = f.add("mysqltableselect", Kind::ListBox, "", Bounds{394, 206, 229, 100});
  list.visible = false;
  f.add("bttableselect", Kind::Button, "", Bounds{471, 312, 75, kButtonHeight}).visible = false;

  f.add("Button1", Kind::Button, "", Bounds{260, 350, 110, kButtonHeight});

  for (const auto& component : f.components()) component->fontHeight = kShortcutWindowFontHeight;
}

}  // namespace fennick
