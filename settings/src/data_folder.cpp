// The data-folder steps that are the same on every system: creating it at
// start and the XDG folder rule. Relies on the platform's folder tests.
#include "settings/data_folder.h"

#include "platform/file.h"

namespace fennick::settings {

void ensureDataFolder(const std::string& dataFolder) {
  std::string folder = dataFolder;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (folder.empty() || platform::isDirectory(folder)) return;
  platform::createDirectory(folder);  // a failure only means the dialog starts elsewhere
}

std::string xdgFolder(std::string_view xdgValue, std::string_view home,
                      std::string_view belowHome) {
  std::string folder;
  // A relative value is invalid and ignored.
  if (!xdgValue.empty() && xdgValue.front() == '/')
    folder = xdgValue;
  else if (!home.empty() && home.front() == '/') {
    while (home.size() > 1 && home.back() == '/') home.remove_suffix(1);
    folder = (home == "/" ? std::string() : std::string(home)) + "/" + std::string(belowHome);
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace fennick::settings
