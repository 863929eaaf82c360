// Special folders from the Windows shell: the folder's item list, then its
// file-system path.
#include <windows.h>
#include <shlobj.h>

#include "core/utf.h"
#include "settings/data_folder.h"

namespace fennick::settings {

std::string getspecialfolder(int folder) {
  LPITEMIDLIST items = nullptr;
  // No owner window: the shell asks nothing of the user for these folders.
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &items)) || !items) return {};
  wchar_t path[MAX_PATH + 1] = {};
  const bool found = SHGetPathFromIDListW(items, path) != FALSE;
  CoTaskMemFree(items);
  if (!found) return {};
  std::string text = utf16ToUtf8(reinterpret_cast<const char16_t*>(path));
  while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

std::string getdatafolder() {
  const std::string appData = getspecialfolder(kApplicationDataFolder);
  return appData.empty() ? std::string() : appData + "\\Marrowby\\";
}

}  // namespace fennick::settings
