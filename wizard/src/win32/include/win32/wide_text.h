// The Win32 edge of the text encoding: the program holds UTF-8, the Windows
// API takes UTF-16 in wchar_t. Pure conversions built on core/utf.h.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace fennick::ui::win32 {

std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The whole text of a window (caption of a button, contents of an edit).
std::wstring windowText(HWND window);

// Line breaks as an edit control needs them: every lone LF or CR becomes
// CR LF.
std::wstring withCrLf(std::wstring_view text);

}  // namespace fennick::ui::win32
