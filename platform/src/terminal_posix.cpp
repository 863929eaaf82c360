// Terminal services on POSIX systems.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/terminal.h"

namespace fennick::platform {
namespace {
// The operating system calls its interrupt handler without context; this
// is the one flag it sets, chosen once by the program.
std::atomic<bool>* g_interruptFlag = nullptr;
void onSignal(int) {
  if (g_interruptFlag) *g_interruptFlag = true;
}
}  // namespace

bool stdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool stdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

std::optional<std::string> readHiddenLine(const std::string& prompt) {
  if (!stdinIsTerminal()) return std::nullopt;
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  termios saved{};
  const bool restore = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (restore) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string line;
  const bool ok = static_cast<bool>(std::getline(std::cin, line));
  if (restore) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  std::fputs("\n", stderr);
  if (!ok) return std::nullopt;
  return line;
}

void setFlagOnInterrupt(std::atomic<bool>& flag) {
  g_interruptFlag = &flag;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace fennick::platform
