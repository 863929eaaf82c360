// The table picker of page 5: the available and the selected tables, the
// four move buttons, the double clicks, and the selection an unattended run
// makes from its parameter list.
#include <string>

#include "batch/parameter_list.h"
#include "wizard/main_form.h"

namespace fennick {

void Taaform1::moveSelected(const std::string& from, const std::string& to) {
  ui::Component& source = form_[from];
  ui::Component& target = form_[to];
  // Walking backwards and inserting every entry at the same place keeps
  // the moved entries in their source order after the target's own.
  const std::size_t insertAt = target.items.size();
  for (std::size_t i = source.items.size(); i-- > 0;) {
    if (!source.isSelected(i)) continue;
    target.insertItem(insertAt, source.items[i]);
    source.deleteItem(i);
  }
  if (source.caret >= static_cast<int>(source.items.size()))
    source.caret = static_cast<int>(source.items.size()) - 1;
}

void Taaform1::moveAll(const std::string& from, const std::string& to) {
  ui::Component& source = form_[from];
  ui::Component& target = form_[to];
  for (const std::string& entry : source.items) target.addItem(entry);
  source.clearItems();
}

void Taaform1::resortAvailable() {
  // Once a table has come back, the available list stays sorted for the
  // rest of the program's life. The caret keeps its index.
  ui::Component& available = form_["availabletables"];
  available.sorted = true;
  available.sortItems();
}

void Taaform1::updateNextAfterMove() {
  if (wizardPage_ == 5) form_["btnext"].enabled = !form_["selecttables"].items.empty();
}

void Taaform1::Button1Click() {
  moveSelected("availabletables", "selecttables");
  updateNextAfterMove();
}

void Taaform1::Button2Click() {
  moveAll("availabletables", "selecttables");
  updateNextAfterMove();
}

void Taaform1::Button3Click() {
  moveSelected("selecttables", "availabletables");
  resortAvailable();
  updateNextAfterMove();
}

void Taaform1::Button4Click() {
  moveAll("selecttables", "availabletables");
  resortAvailable();
  updateNextAfterMove();
}

void Taaform1::availabletablesDblClick() { Button1Click(); }

void Taaform1::selecttablesDblClick() { Button3Click(); }

void Taaform1::bkstep5Click() {
  form_["availabletables"].clearItems();
  form_["selecttables"].clearItems();
}

void Taaform1::selectBatchTables() {
  if (!batchParameters_) return;
  const ParameterList& parameters = *batchParameters_;
  if (parameters.lookup("alltables") == "1") {
    Button2Click();
    return;
  }
  ui::Component& available = form_["availabletables"];
  for (std::size_t k = 0; k < parameters.lineCount(); ++k) {
    const std::string wanted = parameters.lookup("tables" + std::to_string(k));
    if (wanted.empty()) continue;
    for (std::size_t i = 0; i < available.items.size(); ++i) {
      if (available.items[i] != wanted) continue;
      available.selected[i] = true;
      available.caret = static_cast<int>(i);
      Button1Click();
      break;
    }
  }
}

}  // namespace fennick
