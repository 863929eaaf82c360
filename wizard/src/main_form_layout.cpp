// The components of the main window `Taaform1`: the left step panel, the
// page area with its six pages (page 2 never shown, holding the values no
// page displays), the button row and the hidden texts the code reads.
// Captions here are the designed English ones; applycaptions replaces the
// labels' captions at start.
#include "wizard/main_form.h"

namespace fennick {

using ui::Bounds;
using ui::Component;
using ui::Kind;
using ui::kButtonHeight;
using ui::kCheckHeight;
using ui::kEditHeight;
using ui::kLabelHeight;

namespace {


Component& label(ui::Form& form, const char* name, const char* parent, int left, int top,
                 int width, const char* caption) {
  return form.add(name, Kind::Label, parent, Bounds{left, top, width, kLabelHeight}, caption);
}

Component& edit(ui::Form& form, const char* name, const char* parent, int left, int top,
                int width) {
  return form.add(name, Kind::Edit, parent, Bounds{left, top, width, kEditHeight});
}

Component& hidden(Component& c) {
  c.visible = false;
  return c;
}

}  // namespace

void Taaform1::defineComponents() {
  ui::Form& f = form_;

  // Left panel: the steps and the banner.
  f.add("Panel1", Kind::Panel, "", Bounds{0, 0, 177, 425});
  label(f, "Label1", "Panel1", 13, 24, 150, "Welcome");
  hidden(label(f, "Label2", "Panel1", 13, 49, 150, "Connect to Mysql server"));
  label(f, "Label3", "Panel1", 13, 74, 150, "Connect to Oracle server");
  label(f, "Label4", "Panel1", 13, 124, 150, "Conversion Settings");
  label(f, "Label5", "Panel1", 13, 174, 150, "Select table to convert");
  label(f, "Label6", "Panel1", 13, 224, 150, "Conversion is Completed");
  f.add("Image1", Kind::Image, "Panel1", Bounds{1, 377, 175, 47}, "BANNER");

  // Right area: the pages, the blank strip over their tabs, the separator
  // and the button row.
  f.add("Panel2", Kind::Panel, "", Bounds{177, 0, 417, 425});
  Component& pages = f.add("pg", Kind::PageControl, "Panel2", Bounds{0, 0, 415, 372});
  pages.items = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6"};
  pages.itemIndex = 0;
  for (const std::string& sheet : pages.items)
    f.add(sheet, Kind::TabSheet, "pg", Bounds{4, 24, 407, 344});
  f.add("Panel4", Kind::Panel, "Panel2", Bounds{1, 1, 408, 23});
  f.add("Panel5", Kind::Panel, "Panel2", Bounds{0, 377, 417, 3});
  f.add("Panel3", Kind::Panel, "Panel2", Bounds{0, 384, 417, 41});
  f.add("btback", Kind::Button, "Panel3", Bounds{90, 8, 75, kButtonHeight}, "< Back");
  f.add("btnext", Kind::Button, "Panel3", Bounds{168, 8, 75, kButtonHeight}, "Next >");
  f.add("btcancel", Kind::Button, "Panel3", Bounds{255, 8, 75, kButtonHeight}, "Close");
  f.add("bthelp", Kind::Button, "Panel3", Bounds{332, 8, 75, kButtonHeight}, "Help");

  // Page 1: welcome.
  for (Component* title : {&label(f, "Label7", "TabSheet1", 7, 1, 300, "Welcome to the Database"),
                           &label(f, "Label8", "TabSheet1", 7, 20, 300, "Conversion Wizard")}) {
    title->bold = true;
    title->fontHeight = 13;
    title->bounds.height = 16;
  }
  label(f, "Label9", "TabSheet1", 12, 72, 300,
        "This wizard helps you move Oracle database to Access.");
  label(f, "Label10", "TabSheet1", 13, 96, 300, "Click 'Next' to continue.");

  // Page 2, never shown: the connection settings of another source kind,
  // carried as values, and the texts the code reads.
  hidden(label(f, "Label11", "TabSheet2", 8, 8, 362,
               "Provide necessary information to establish connection with MySQL server."));
  hidden(f.add("authorization", Kind::GroupBox, "TabSheet2", Bounds{8, 30, 390, 90},
               "Authorization settings"));
  hidden(label(f, "Label12", "TabSheet2", 20, 50, 80, "User name:"));
  hidden(edit(f, "edtname", "TabSheet2", 110, 46, 121));
  hidden(label(f, "Label13", "TabSheet2", 20, 78, 80, "Password:"));
  hidden(edit(f, "edtpassword", "TabSheet2", 110, 74, 121)).password = true;
  hidden(label(f, "Label15", "TabSheet2", 20, 104, 80, "Database :"));
  hidden(edit(f, "edtdatabase", "TabSheet2", 110, 100, 121));
  hidden(f.add("GroupBox2", Kind::GroupBox, "TabSheet2", Bounds{8, 126, 390, 70},
               "Remote settings"));
  hidden(label(f, "Label14", "TabSheet2", 20, 146, 80, "Host:"));
  hidden(edit(f, "edthost", "TabSheet2", 110, 142, 121));
  hidden(label(f, "Label16", "TabSheet2", 110, 168, 250, "(it could be network name or IP address)"));
  hidden(f.add("GroupBox1", Kind::GroupBox, "TabSheet2", Bounds{8, 200, 390, 60}, "Port settings"));
  hidden(label(f, "edtport111", "TabSheet2", 20, 220, 80, "Port number:"));
  hidden(edit(f, "edtport", "TabSheet2", 110, 216, 60));
  hidden(label(f, "Label17", "TabSheet2", 180, 220, 200, "(Default Mysql Port is 3306)"));
  Component& accessMode = hidden(f.add("accessmode", Kind::RadioGroup, "TabSheet2",
                                       Bounds{8, 266, 390, 40}, "Access mode"));
  accessMode.items = {"Local", "Remote"};
  accessMode.columns = 2;
  accessMode.itemIndex = 0;
  hidden(label(f, "linkmysqlerror", "TabSheet2", 8, 312, 390,
               "Access denied. Verify the user name and password are correct, and you have the "
               "necessary privileges to connect to the target Mysql server."));
  hidden(f.add("chkuppercase", Kind::CheckBox, "TabSheet2", Bounds{8, 330, 200, kCheckHeight},
               "Make names uppercase"));
  hidden(label(f, "helpurl", "TabSheet2", 220, 330, 180, "help\\en\\index.html"));
  hidden(label(f, "queryclose", "TabSheet2", 0, 0, 100, "Close this Wizard ?"));
  hidden(label(f, "nullaccessname", "TabSheet2", 0, 0, 200, "Please input Access database name"));
  hidden(label(f, "Label29", "TabSheet2", 0, 0, 200, "Conversion is Completed"));
  hidden(label(f, "Label30", "TabSheet2", 0, 0, 300,
               "Wizard has migrated your Oracle database to Access successfully."));
  hidden(label(f, "Label32", "TabSheet2", 0, 0, 200, "Click 'Finish' to exit the wizard."));

  // Page 3: the source connection.
  label(f, "Label18", "TabSheet3", 8, 8, 362,
        "Provide the necessary information to establish connection with Oracle server.");
  label(f, "Label19", "TabSheet3", 8, 28, 334,
        "Enter the same values that you specify for standard Oracle applications");
  label(f, "Label20", "TabSheet3", 8, 48, 190, "Link Oracle Enterprise Manager Console.");
  label(f, "Label21", "TabSheet3", 26, 87, 70, "&Service:");
  edit(f, "edtservice", "TabSheet3", 103, 83, 121);
  label(f, "Label22", "TabSheet3", 26, 148, 70, "&User name:");
  edit(f, "edtoracleusername", "TabSheet3", 103, 144, 121);
  label(f, "Label23", "TabSheet3", 26, 180, 70, "&Password");
  edit(f, "edtoraclepassword", "TabSheet3", 103, 176, 121).password = true;

  // Page 4: the conversion settings.
  label(f, "Label24", "TabSheet4", 11, 3, 362,
        "On this page you can specify source database name and conversion settings.");
  Component& policy = f.add("processtable", Kind::RadioGroup, "TabSheet4", Bounds{13, 55, 389, 54},
                            "How to process existing tables:");
  policy.items = {"Overwrite", "Merge", "Skip"};
  policy.columns = 3;
  policy.itemIndex = 0;
  f.add("chktabledefi", Kind::CheckBox, "TabSheet4", Bounds{13, 157, 211, kCheckHeight},
        "Convert table definitions only");
  f.add("chkskipindex", Kind::CheckBox, "TabSheet4", Bounds{13, 181, 211, kCheckHeight},
        "Skip converting indexes");
  f.add("chkblobtotext", Kind::CheckBox, "TabSheet4", Bounds{241, 157, 200, kCheckHeight},
        "Convert BLOB to text");
  label(f, "labelaccessformat", "TabSheet4", 13, 242, 80, "Access format:");
  Component& format =
      f.add("cbaccessformat", Kind::ComboBox, "TabSheet4", Bounds{97, 237, 145, kEditHeight});
  format.items = {"MS Access 95/97", "MS Access 2000"};
  format.itemIndex = 0;
  label(f, "labelaccessname", "TabSheet4", 13, 275, 200, "MS Access database name:");
  edit(f, "editaccessname", "TabSheet4", 13, 291, 317).readOnly = true;
  f.add("btbrowse", Kind::Button, "TabSheet4", Bounds{336, 287, 68, kButtonHeight}, "Browse...");

  // Page 5: the table picker.
  label(f, "Label26", "TabSheet5", 19, 11, 239, "Select Oracle tables to convert into Access format.");
  label(f, "Label27", "TabSheet5", 10, 57, 150, "Available tables:");
  f.add("availabletables", Kind::ListBox, "TabSheet5", Bounds{11, 80, 153, 229});
  label(f, "Label28", "TabSheet5", 247, 57, 150, "Selected tables:");
  f.add("selecttables", Kind::ListBox, "TabSheet5", Bounds{247, 78, 156, 229});
  f.add("Button1", Kind::Button, "TabSheet5", Bounds{167, 88, 77, kButtonHeight}, "Add >");
  f.add("Button2", Kind::Button, "TabSheet5", Bounds{167, 132, 77, kButtonHeight}, "Add all >");
  f.add("Button3", Kind::Button, "TabSheet5", Bounds{167, 176, 77, kButtonHeight}, "< Remove");
  f.add("Button4", Kind::Button, "TabSheet5", Bounds{167, 221, 77, kButtonHeight}, "< Remove all");
  f.add("btcreatebat", Kind::Button, "TabSheet5", Bounds{254, 313, 145, kButtonHeight},
        "Create Shortcut File");

  // Page 6: the log.
  Component& memo = f.add("sc", Kind::Memo, "TabSheet6", Bounds{0, 0, 407, 344});
  memo.readOnly = true;
  memo.wordWrap = true;
  memo.verticalScrollBar = true;

  // The target-file dialog: its caption is the chosen path.
  f.add("SaveDialog1", Kind::Hidden, "", Bounds{});
}

}  // namespace fennick
