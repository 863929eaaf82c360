// Console services on Windows.
#include <windows.h>

#include <io.h>

#include "core/utf.h"
#include "platform/terminal.h"

namespace fennick::platform {
namespace {
// The operating system calls its interrupt handler without context; this
// is the one flag it sets, chosen once by the program.
std::atomic<bool>* g_interruptFlag = nullptr;
BOOL WINAPI onConsoleEvent(DWORD event) {
  if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && g_interruptFlag) {
    *g_interruptFlag = true;
    return TRUE;
  }
  return FALSE;
}
bool isConsole(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}
}  // namespace

bool stdinIsTerminal() { return isConsole(STD_INPUT_HANDLE); }
bool stdoutIsTerminal() { return isConsole(STD_OUTPUT_HANDLE); }

std::optional<std::string> readHiddenLine(const std::string& prompt) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(in, &mode)) return std::nullopt;
  const std::u16string p = utf8ToUtf16(prompt);
  DWORD written = 0;
  WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), p.data(), static_cast<DWORD>(p.size()), &written,
                nullptr);
  SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  std::u16string line;
  wchar_t buffer[256];
  DWORD got = 0;
  bool ok = false;
  while (ReadConsoleW(in, buffer, 256, &got, nullptr) && got > 0) {
    line.append(reinterpret_cast<const char16_t*>(buffer), got);
    if (line.find(u'\n') != std::u16string::npos) {
      ok = true;
      break;
    }
  }
  SetConsoleMode(in, mode);
  WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), L"\r\n", 2, &written, nullptr);
  if (!ok) return std::nullopt;
  while (!line.empty() && (line.back() == u'\n' || line.back() == u'\r')) line.pop_back();
  return utf16ToUtf8(line);
}

void setFlagOnInterrupt(std::atomic<bool>& flag) {
  g_interruptFlag = &flag;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace fennick::platform
