// The current user's settings store on systems without a registry: the
// settings file under the XDG configuration folder.
#include <cstdlib>

#include "settings/data_folder.h"
#include "settings/file_store.h"

namespace fennick::settings {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string defaultSettingsFile() {
  const std::string folder =
      xdgFolder(environment("XDG_CONFIG_HOME"), environment("HOME"), ".config");
  return folder.empty() ? std::string() : folder + "/fennick/settings.ini";
}

std::unique_ptr<SettingsStore> userSettingsStore() {
  return std::make_unique<FileSettingsStore>(defaultSettingsFile());
}

}  // namespace fennick::settings
