// The system's dialog calls and the filter format of the file dialogs;
// relies on user32, comdlg32 and shell32.
#include "win32/dialogs.h"

#include <shellapi.h>

#include "win32/wide_text.h"

namespace fennick::ui::win32 {

Dialogs Dialogs::system() {
  Dialogs dialogs;
  dialogs.messageBox = [](HWND owner, const wchar_t* text, const wchar_t* title, UINT type) {
    return MessageBoxW(owner, text, title, type);
  };
  dialogs.saveFileName = [](OPENFILENAMEW& dialog) { return GetSaveFileNameW(&dialog) != FALSE; };
  dialogs.shellExecute = [](HWND owner, const wchar_t* verb, const wchar_t* target, int show) {
    ShellExecuteW(owner, verb, target, nullptr, nullptr, show);
  };
  return dialogs;
}

std::wstring dialogFilter(std::string_view filter) {
  if (filter.empty()) return {};
  std::wstring out = wide(filter);
  for (wchar_t& c : out)
    if (c == L'|') c = L'\0';
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

}  // namespace fennick::ui::win32
