// loadsettings and savesettings: the value names, their order and the rules
// that turn stored texts into control states and back. Relies on the store
// interface and on the platform's whole-number conversion.
#include "settings/saved_settings.h"

#include <stdexcept>

#include "batch/parameter_list.h"
#include "settings/data_folder.h"

namespace fennick::settings {
namespace {

enum class Carrier { Text, Index, Check };

struct Setting {
  const char* value;
  const char* control;
  Carrier carrier;
};

// Read in this order at start.
constexpr Setting kLoadOrder[] = {
    {"accessmode", "accessmode", Carrier::Index},
    {"mysqldatabase", "edtdatabase", Carrier::Text},
    {"mysqlu", "edtname", Carrier::Text},
    {"mysqlp", "edtpassword", Carrier::Text},
    {"host", "edthost", Carrier::Text},
    {"port", "edtport", Carrier::Text},
    {"oracleh", "edtservice", Carrier::Text},
    {"oracleu", "edtoracleusername", Carrier::Text},
    {"oraclep", "edtoraclepassword", Carrier::Text},
    {"processtable", "processtable", Carrier::Index},
    {"tabledefonly", "chktabledefi", Carrier::Check},
    {"nameuppercase", "chkuppercase", Carrier::Check},
    {"skipindex", "chkskipindex", Carrier::Check},
    {"blobtotext", "chkblobtotext", Carrier::Check},
    {"accessformat", "cbaccessformat", Carrier::Index},
};

// Written in this order at exit; `defaultaccessdir` goes before the last.
constexpr Setting kSaveOrder[] = {
    {"accessmode", "accessmode", Carrier::Index},
    {"mysqldatabase", "edtdatabase", Carrier::Text},
    {"mysqlu", "edtname", Carrier::Text},
    {"mysqlp", "edtpassword", Carrier::Text},
    {"host", "edthost", Carrier::Text},
    {"port", "edtport", Carrier::Text},
    {"oracleh", "edtservice", Carrier::Text},
    {"oraclep", "edtoraclepassword", Carrier::Text},
    {"oracleu", "edtoracleusername", Carrier::Text},
    {"processtable", "processtable", Carrier::Index},
    {"tabledefonly", "chktabledefi", Carrier::Check},
    {"nameuppercase", "chkuppercase", Carrier::Check},
    {"skipindex", "chkskipindex", Carrier::Check},
    {"blobtotext", "chkblobtotext", Carrier::Check},
};
constexpr Setting kSavedLast = {"accessformat", "cbaccessformat", Carrier::Index};

constexpr const char* kDefaultAccessDir = "defaultaccessdir";
constexpr const char* kDefaultPort = "3306";

// Sets an item index the way the controls take it: a radio group clamps,
// a drop-down list drops a choice it does not have.
void setItemIndex(ui::Component& control, int index) {
  const int count = static_cast<int>(control.items.size());
  if (control.kind == ui::Kind::ComboBox) {
    control.itemIndex = (index >= -1 && index < count) ? index : -1;
  } else {
    if (index < -1) index = -1;
    if (index >= count) index = count - 1;
    control.itemIndex = index;
  }
}

void apply(ui::Component& control, Carrier carrier, const std::string& text) {
  switch (carrier) {
    case Carrier::Text:
      control.caption = text;
      break;
    case Carrier::Check:
      control.checked = text == "1";
      break;
    case Carrier::Index:
      setItemIndex(control, parseInteger(text).value_or(0));
      break;
  }
}

std::string storedForm(const ui::Component& control, Carrier carrier) {
  switch (carrier) {
    case Carrier::Text:
      return control.caption;
    case Carrier::Check:
      return control.checked ? "1" : "0";
    case Carrier::Index:
      return std::to_string(control.itemIndex);
  }
  return {};
}

void put(SettingsWriter& writer, const std::string& name, const std::string& value) {
  if (!writer.write(name, value)) {
    // What was written so far stays, as it does in the registry.
    writer.finish();
    throw std::runtime_error("Failed to set data for '" + name + "'");
  }
}

}  // namespace

std::string folderPart(const std::string& path) {
#ifdef _WIN32
  const std::size_t end = path.find_last_of("\\/:");
#else
  const std::size_t end = path.find_last_of('/');
#endif
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

void loadsettings(ui::Form& form, SettingsStore& store, const std::string& dataFolder,
                  const std::string& homeFolder) {
  std::string defaultAccessDir;
  if (std::unique_ptr<SettingsReader> reader = store.openForReading()) {
    for (const Setting& s : kLoadOrder) {
      apply(form[s.control], s.carrier, reader->read(s.value).value_or(""));
      if (std::string_view(s.value) == "port")
        defaultAccessDir = reader->read(kDefaultAccessDir).value_or("");
    }
  }
  // The designed port is the default one, stored or not.
  ui::Component& port = form["edtport"];
  if (port.caption.empty()) port.caption = kDefaultPort;

  ui::Component& dialog = form["SaveDialog1"];
  if (!defaultAccessDir.empty())
    dialog.initialFolder = defaultAccessDir;
  else if (!dataFolder.empty())
    dialog.initialFolder = dataFolder;
  else
    dialog.initialFolder = homeFolder;
}

void loadsettings(ui::Form& form, SettingsStore& store, const std::string& dataFolder) {
  loadsettings(form, store, dataFolder, getspecialfolder(kUserProfileFolder));
}

void savesettings(ui::Form& form, SettingsStore& store) {
  std::unique_ptr<SettingsWriter> writer = store.openForWriting();
  if (!writer) return;
  for (const Setting& s : kSaveOrder) put(*writer, s.value, storedForm(form[s.control], s.carrier));
  if (!form["editaccessname"].caption.empty())
    put(*writer, kDefaultAccessDir, folderPart(form["SaveDialog1"].caption));
  put(*writer, kSavedLast.value, storedForm(form[kSavedLast.control], kSavedLast.carrier));
  writer->finish();
}

}  // namespace fennick::settings
