// Copying a parameter list into the main window's controls. Relies on the
// parameter list's lookup and whole-number conversion.
#include <stdexcept>

#include "batch/unattended_start.h"

namespace fennick {

namespace {

int wholeNumber(const ParameterList& parameters, const char* key) {
  const std::string text = parameters.lookup(key);
  const std::optional<int> value = parseInteger(text);
  if (!value) throw std::runtime_error(invalidIntegerMessage(text));
  return *value;
}

// What a radio group makes of an index it is given.
void setRadioIndex(ui::Component& group, int index) {
  const int last = static_cast<int>(group.items.size()) - 1;
  if (index > last) index = last;
  if (index < -1) index = -1;
  group.itemIndex = index;
}

// A drop-down list selects an item that exists, or none.
void setListIndex(ui::Component& list, int index) {
  list.itemIndex = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
}

}  // namespace

void ApplyBatchParameters(ui::Form& wizard, const ParameterList& parameters) {
  const auto text = [&](const char* component, const char* key) {
    wizard[component].caption = parameters.lookup(key);
  };
  const auto flag = [&](const char* component, const char* key) {
    wizard[component].checked = parameters.lookup(key) == "1";
  };

  setRadioIndex(wizard["accessmode"], wholeNumber(parameters, "accessmode"));
  text("edtdatabase", "mysqldatabase");
  text("edtname", "mysqlu");
  text("edtpassword", "mysqlp");
  text("edthost", "host");
  text("edtport", "port");
  text("edtservice", "oracleh");
  text("edtoracleusername", "oracleu");
  text("edtoraclepassword", "oraclep");
  setListIndex(wizard["cbaccessformat"], wholeNumber(parameters, "accessformat"));
  // The target-file dialog holds the name; the box shows the dialog's.
  wizard["SaveDialog1"].caption = parameters.lookup("accessfilename");
  wizard["editaccessname"].caption = wizard["SaveDialog1"].caption;
  setRadioIndex(wizard["processtable"], wholeNumber(parameters, "processtable"));
  flag("chktabledefi", "tabledefonly");
  flag("chkuppercase", "nameuppercase");
  flag("chkskipindex", "skipindex");
  flag("chkblobtotext", "blobtotext");
}

}  // namespace fennick
