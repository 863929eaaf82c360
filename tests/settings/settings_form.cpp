// The settings controls of the main window with their designed items and
// indexes; the port edit box starts empty, as the wizard's layout has it.
#include "settings_form.h"

namespace fennick::test {

ui::Form settingsForm() {
  using ui::Kind;
  ui::Form f("Taaform1", "", 594, 425);
  for (const char* edit : {"edtdatabase", "edtname", "edtpassword", "edthost", "edtport",
                           "edtservice", "edtoraclepassword", "edtoracleusername",
                           "editaccessname"})
    f.add(edit, Kind::Edit, "", ui::Bounds{});
  for (const char* check : {"chktabledefi", "chkuppercase", "chkskipindex", "chkblobtotext"})
    f.add(check, Kind::CheckBox, "", ui::Bounds{});
  ui::Component& mode = f.add("accessmode", Kind::RadioGroup, "", ui::Bounds{});
  mode.items = {"Local", "Remote"};
  mode.itemIndex = 0;
  ui::Component& policy = f.add("processtable", Kind::RadioGroup, "", ui::Bounds{});
  policy.items = {"Overwrite", "Merge", "Skip"};
  policy.itemIndex = 0;
  ui::Component& format = f.add("cbaccessformat", Kind::ComboBox, "", ui::Bounds{});
  format.items = {"MS Access 95/97", "MS Access 2000"};
  format.itemIndex = 0;
  f.add("SaveDialog1", Kind::Hidden, "", ui::Bounds{});
  return f;
}

}  // namespace fennick::test
