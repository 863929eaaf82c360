// The running program's path on Windows.
#include <windows.h>

#include <string>

#include "core/utf.h"
#include "platform/process.h"

namespace fennick::platform {

std::string programPath() {
  std::u16string buffer(32768, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()),
                                     static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return utf16ToUtf8(buffer);
}

std::string programFolder() {
  const std::string path = programPath();
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

std::string computerName() {
  std::u16string buffer(MAX_COMPUTERNAME_LENGTH + 1, u'\0');
  DWORD n = static_cast<DWORD>(buffer.size());
  if (!GetComputerNameW(reinterpret_cast<wchar_t*>(buffer.data()), &n)) return {};
  buffer.resize(n);
  return utf16ToUtf8(buffer);
}

}  // namespace fennick::platform
