// Console text: wide-character API on Windows, plain bytes elsewhere.
#include "console.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "core/utf.h"
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

#endif

}  // namespace fennick::cli
