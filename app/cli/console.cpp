// Console text: wide-character API on Windows, plain bytes elsewhere.
#include "console.h"

#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "core/utf.h"
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace fennick::cli {

#ifdef _WIN32
Args argumentsUtf8(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  Args args;
  for (int i = 1; i < count; ++i)
    args.push_back(utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  LocalFree(wide);
  return args;
}

namespace {
void write(DWORD which, FILE* stream, std::string_view utf8) {
  HANDLE h = GetStdHandle(which);
  DWORD mode = 0;
  if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode)) {
    const std::u16string w = utf8ToUtf16(utf8);
    DWORD written = 0;
    WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
  } else {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
  }
}
}  // namespace

void writeOut(std::string_view utf8) { write(STD_OUTPUT_HANDLE, stdout, utf8); }
void writeErr(std::string_view utf8) { write(STD_ERROR_HANDLE, stderr, utf8); }

std::string readSecretLine(std::string_view prompt) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode))
    throw std::runtime_error("no terminal to ask for the password on; set FENNICK_PASSWORD");
  writeErr(prompt);
  SetConsoleMode(in, (mode & ~ENABLE_ECHO_INPUT) | ENABLE_LINE_INPUT);
  std::u16string line;
  wchar_t c = 0;
  DWORD read = 0;
  while (ReadConsoleW(in, &c, 1, &read, nullptr) && read == 1 && c != L'\n')
    if (c != L'\r') line += static_cast<char16_t>(c);
  SetConsoleMode(in, mode);
  writeErr("\n");
  return utf16ToUtf8(line);
}
#else
Args argumentsUtf8(int argc, char** argv) { return Args(argv + 1, argv + argc); }
void writeOut(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}
void writeErr(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

std::string readSecretLine(std::string_view prompt) {
  termios saved{};
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0)
    throw std::runtime_error("no terminal to ask for the password on; set FENNICK_PASSWORD");
  writeErr(prompt);
  termios quiet = saved;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  std::string line;
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
    line += static_cast<char>(c);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  writeErr("\n");
  return line;
}
#endif

}  // namespace fennick::cli
