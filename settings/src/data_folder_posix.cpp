// Special folders on systems without a shell folder service: the XDG data
// folder and $HOME.
#include <cstdlib>

#include "settings/data_folder.h"

namespace fennick::settings {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string getspecialfolder(int folder) {
  const std::string home = xdgFolder("", environment("HOME"), "");
  switch (folder) {
    case kApplicationDataFolder:
      return xdgFolder(environment("XDG_DATA_HOME"), environment("HOME"), ".local/share");
    case kUserProfileFolder:
      return home;
    default:
      return {};
  }
}

std::string getdatafolder() {
  const std::string appData = getspecialfolder(kApplicationDataFolder);
  return appData.empty() ? std::string() : appData + "/Marrowby/";
}

}  // namespace fennick::settings
