// UTF-8 <-> UTF-16 for the Win32 calls; relies on core/utf.h (wchar_t is a
// UTF-16 code unit on Windows).
#include "win32/wide_text.h"

#include <vector>

#include "core/utf.h"

namespace fennick::ui::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

std::wstring wide(std::string_view utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string narrow(std::wstring_view utf16) {
  return utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

std::wstring withCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace fennick::ui::win32
