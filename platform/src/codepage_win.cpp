// Code pages on Windows, through the system's own conversion tables.
#include <windows.h>

#include "core/utf.h"
#include "platform/codepage.h"

namespace fennick::platform {
namespace {

std::string wideToCodePage(unsigned codePage, const std::u16string& wide) {
  if (wide.empty()) return {};
  const auto* src = reinterpret_cast<const wchar_t*>(wide.data());
  const int n = WideCharToMultiByte(codePage, 0, src, static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(codePage, 0, src, static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

std::u16string codePageToWide(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
  if (n > 0)
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

unsigned usable(unsigned codePage) { return IsValidCodePage(codePage) ? codePage : 1252; }

}  // namespace

unsigned ansiCodePage() { return GetACP(); }

std::string toAnsi(std::string_view utf8) { return toCodePage(CP_ACP, utf8); }
std::string fromAnsi(std::string_view ansi) { return fromCodePage(CP_ACP, ansi); }

std::string toCodePage(unsigned codePage, std::string_view utf8) {
  if (codePage == CP_UTF8) return std::string(utf8);
  if (codePage != CP_ACP) codePage = usable(codePage);
  return wideToCodePage(codePage, utf8ToUtf16(utf8));
}

std::string fromCodePage(unsigned codePage, std::string_view bytes) {
  if (codePage == CP_UTF8) return std::string(bytes);
  if (codePage != CP_ACP) codePage = usable(codePage);
  return utf16ToUtf8(codePageToWide(codePage, bytes));
}

}  // namespace fennick::platform
