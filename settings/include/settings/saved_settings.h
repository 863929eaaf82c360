// Moving the main window's controls to and from the settings store: at
// start `loadsettings` fills them, when the window is destroyed
// `savesettings` writes them back. The controls are found by name on the
// form (`accessmode`, `edtport`, `processtable`, `cbaccessformat`,
// `SaveDialog1`, ...).
//
// Texts travel unchanged, item indexes as decimal text, check boxes as "1"
// or "0"; on reading only the exact text "1" checks a box.
#pragma once

#include <string>

#include "settings/store.h"
#include "wizard/form.h"

namespace fennick::settings {

// Fills the controls from the store. When nothing is stored, the controls
// keep their designed state. An empty port becomes "3306". The save
// dialog's initial folder becomes the stored `defaultaccessdir`, else
// `dataFolder`, else `homeFolder` (when the data folder is unknown).
void loadsettings(ui::Form& form, SettingsStore& store, const std::string& dataFolder,
                  const std::string& homeFolder);
// The same with the user's home folder as the last resort.
void loadsettings(ui::Form& form, SettingsStore& store, const std::string& dataFolder);

// Writes the controls in their fixed order. When the store cannot be opened
// for writing nothing is saved and nothing reported. A value that cannot be
// written throws "Failed to set data for '<name>'"; the values before it
// stay written, those after it are not written. `defaultaccessdir` is
// written only when `editaccessname` is not empty.
void savesettings(ui::Form& form, SettingsStore& store);

// The folder part of a path, up to and including its last separator; empty
// when it has none.
std::string folderPart(const std::string& path);

}  // namespace fennick::settings
