// The stand-in main window: a wizard-like layout with a step panel, two
// pages, a button row and a small modal window; relies only on the form
// model and the UI services.
#include "demo_form.h"

#include <stdexcept>

namespace fennick::demo {
namespace {

using ui::Kind;

// The modal window shown by "Options...".
class OptionsForm final : public ui::FormController {
 public:
  OptionsForm() : form_("Tdemo_options", "Options", 300, 150) {
    form_.add("GroupBox1", Kind::GroupBox, "", {8, 8, 284, 90}, "Conversion");
    form_.add("chkuppercase", Kind::CheckBox, "GroupBox1", {12, 22, 200, 17}, "Make names uppercase");
    form_.add("chkskipindex", Kind::CheckBox, "GroupBox1", {12, 46, 200, 17}, "Skip converting indexes");
    form_.add("btok", Kind::Button, "", {217, 114, 75, 25}, "OK");
  }
  ui::Form& form() override { return form_; }
  void onClick(const std::string& component) override { closing_ = component == "btok"; }
  bool closeRequested() const override { return closing_; }

 private:
  ui::Form form_;
  bool closing_ = false;
};

void putLe(std::string& out, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string demoPicture() {
  constexpr unsigned width = 170, height = 50;
  constexpr unsigned stride = width * 3 + (4 - width * 3 % 4) % 4;
  std::string bmp = "BM";
  putLe(bmp, 54 + stride * height, 4);
  putLe(bmp, 0, 4);
  putLe(bmp, 54, 4);
  putLe(bmp, 40, 4);
  putLe(bmp, width, 4);
  putLe(bmp, height, 4);
  putLe(bmp, 1, 2);
  putLe(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) putLe(bmp, 0, 4);
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      const bool stripe = (x / 10 + y / 10) % 2 == 0;
      putLe(bmp, stripe ? 0xC08040 : 0x604020, 3);  // blue-brown checks, stored as B G R
    }
    for (unsigned pad = width * 3; pad < stride; ++pad) bmp.push_back('\0');
  }
  return bmp;
}

DemoForm::DemoForm(ui::UiServices& ui, std::vector<std::string> arguments)
    : ui_(ui), arguments_(std::move(arguments)), form_("Taaform1", "Fennick 4.0", 594, 425) {
  form_.add("Panel1", Kind::Panel, "", {0, 0, 177, 425});
  form_.add("Label1", Kind::Label, "Panel1", {13, 24, 150, 13}, "Welcome");
  form_.add("Label2", Kind::Label, "Panel1", {13, 74, 150, 13}, "Components");
  form_.add("Label3", Kind::Label, "Panel1", {13, 124, 150, 13}, "Lists and log");
  form_.add("Image1", Kind::Image, "Panel1", {1, 377, 175, 47}, "BANNER");
  form_.add("Panel2", Kind::Panel, "", {177, 0, 417, 425});
  form_.add("pg", Kind::PageControl, "Panel2", {1, 1, 415, 372});
  form_.add("Panel4", Kind::Panel, "Panel2", {1, 1, 408, 23});

  form_.add("TabSheet1", Kind::TabSheet, "pg", {});
  auto& title = form_.add("Label7", Kind::Label, "TabSheet1", {7, 1, 300, 16}, "Welcome to the demo form");
  title.bold = true;
  title.fontHeight = 13;
  form_.add("Label9", Kind::Label, "TabSheet1", {12, 30, 380, 13},
            "Every kind of component the wizard uses, in one window.");
  form_.add("Label21", Kind::Label, "TabSheet1", {26, 60, 70, 13}, "&Service:");
  form_.add("edtservice", Kind::Edit, "TabSheet1", {103, 56, 121, 21}, "ORCL");
  form_.add("Label23", Kind::Label, "TabSheet1", {26, 88, 70, 13}, "&Password");
  form_.add("edtoraclepassword", Kind::Edit, "TabSheet1", {103, 84, 121, 21}, "secret").password = true;
  auto& processtable = form_.add("processtable", Kind::RadioGroup, "TabSheet1", {13, 118, 389, 54},
                                 "How to process existing tables:");
  processtable.items = {"Overwrite", "Merge", "Skip"};
  processtable.columns = 3;
  processtable.itemIndex = 0;
  form_.add("chktabledefi", Kind::CheckBox, "TabSheet1", {13, 184, 211, 17}, "Convert table definitions only");
  form_.add("GroupBox1", Kind::GroupBox, "TabSheet1", {13, 210, 389, 100}, "Access");
  form_.add("labelaccessformat", Kind::Label, "GroupBox1", {10, 24, 80, 13}, "Access format:");
  auto& format = form_.add("cbaccessformat", Kind::ComboBox, "GroupBox1", {97, 20, 145, 21});
  format.items = {"MS Access 95/97", "MS Access 2000"};
  format.itemIndex = 0;
  form_.add("editaccessname", Kind::Edit, "GroupBox1", {10, 56, 300, 21}, "C:\\data\\target.mdb").readOnly =
      true;
  form_.add("btoptions", Kind::Button, "GroupBox1", {316, 54, 68, 25}, "Options...");

  form_.add("TabSheet2", Kind::TabSheet, "pg", {});
  form_.add("Label27", Kind::Label, "TabSheet2", {10, 8, 150, 13}, "Available tables (double-click):");
  auto& tables = form_.add("availabletables", Kind::ListBox, "TabSheet2", {11, 28, 153, 150});
  for (const char* name : {"CUSTOMERS", "ORDERS", "ORDER_LINES", "PRODUCTS", "SUPPLIERS", "INVOICES"})
    tables.addItem(name);
  tables.caret = 0;
  form_.add("btfail", Kind::Button, "TabSheet2", {180, 28, 100, 25}, "Fail");
  auto& memo = form_.add("sc", Kind::Memo, "TabSheet2", {11, 190, 392, 150});
  memo.readOnly = true;
  memo.wordWrap = true;
  memo.verticalScrollBar = true;

  form_.add("Panel5", Kind::Panel, "Panel2", {0, 377, 417, 3});
  form_.add("Panel3", Kind::Panel, "Panel2", {0, 384, 417, 41});
  form_.add("btback", Kind::Button, "Panel3", {90, 8, 75, 25}, "< Back");
  form_.add("btnext", Kind::Button, "Panel3", {168, 8, 75, 25}, "Next >");
  form_.add("btcancel", Kind::Button, "Panel3", {255, 8, 75, 25}, "Close");
  form_.add("bthelp", Kind::Button, "Panel3", {332, 8, 75, 25}, "Help");
  form_.add("queryclose", Kind::Hidden, "", {}, "Do you want to close the demo?");
}

void DemoForm::onCreate() {
  for (const std::string& argument : arguments_) log("Argument: " + argument);
  showPage(0);
  ui_.startTimer("tick", 500);
}

void DemoForm::showPage(int page) {
  form_["pg"].itemIndex = page;
  form_["Label1"].bold = page == 0;
  form_["Label2"].bold = page == 0;
  form_["Label3"].bold = page == 1;
  form_["btback"].enabled = page > 0;
  form_["btnext"].enabled = page < 1;
  form_.setFocus(page == 0 ? "edtservice" : "availabletables");
}

void DemoForm::log(const std::string& line) {
  std::string& text = form_["sc"].caption;
  if (!text.empty()) text += "\r\n";
  text += line;
}

void DemoForm::onClick(const std::string& component) {
  if (component == "btnext") {
    log("Service " + form_["edtservice"].caption + ", format " +
        std::to_string(form_["cbaccessformat"].itemIndex) + ", existing tables " +
        std::to_string(form_["processtable"].itemIndex) +
        (form_["chktabledefi"].checked ? ", definitions only" : ""));
    showPage(1);
  } else if (component == "btback") {
    showPage(0);
  } else if (component == "btcancel") {
    closing_ = ui_.askYesNo(form_["queryclose"].caption, "Information");
  } else if (component == "bthelp" || component == "Image1") {
    ui_.showMessage("This is the demo form of the Windows view.", form_.caption());
  } else if (component == "btfail") {
    throw std::runtime_error("The demo failed on purpose");
  } else if (component == "btoptions") {
    OptionsForm options;
    ui_.showModal(options);
    log(std::string("Options closed; uppercase ") + (options.form()["chkuppercase"].checked ? "on" : "off"));
  }
}

void DemoForm::onDoubleClick(const std::string& component) {
  if (component != "availabletables") return;
  auto& tables = form_["availabletables"];
  for (std::size_t i = 0; i < tables.items.size();) {
    if (tables.isSelected(i)) {
      log("Chosen: " + tables.items[i]);
      tables.deleteItem(i);
    } else {
      ++i;
    }
  }
  form_["btfail"].enabled = !tables.items.empty();
}

void DemoForm::onTimer(const std::string& timer) {
  if (timer != "tick") return;
  log("Tick " + std::to_string(++ticks_));
  if (ticks_ < 3) ui_.startTimer("tick", 500);
}

}  // namespace fennick::demo
