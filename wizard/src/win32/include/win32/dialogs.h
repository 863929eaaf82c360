// The Windows dialog calls the user interface services make, behind a seam:
// the program uses the system's, tests put recorders in their place so no
// real dialog waits for a user.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <string_view>

namespace fennick::ui::win32 {

struct Dialogs {
  // MessageBoxW: returns IDOK, IDYES, IDNO...
  std::function<int(HWND owner, const wchar_t* text, const wchar_t* title, UINT type)> messageBox;
  // GetSaveFileNameW: true when the user confirmed; the path is in lpstrFile.
  std::function<bool(OPENFILENAMEW& dialog)> saveFileName;
  // ShellExecuteW without parameters or folder.
  std::function<void(HWND owner, const wchar_t* verb, const wchar_t* target, int show)> shellExecute;

  // The real ones.
  static Dialogs system();
};

// A filter written as "text|pattern|text|pattern" in the form the file
// dialogs take: each part ended by NUL, the whole by a second NUL. Empty for
// an empty filter.
std::wstring dialogFilter(std::string_view filter);

}  // namespace fennick::ui::win32
