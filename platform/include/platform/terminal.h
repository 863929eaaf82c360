// The terminal a command-line program runs in: whether there is one, a
// password typed without echo, and Ctrl+C.
#pragma once

#include <atomic>
#include <optional>
#include <string>

namespace fennick::platform {

bool stdinIsTerminal();
bool stdoutIsTerminal();

// Shows the prompt on the terminal and reads one line without echoing it;
// nullopt when there is no terminal or input ended.
std::optional<std::string> readHiddenLine(const std::string& prompt);

// Sets `flag` when the user presses Ctrl+C (or the console is asked to
// break) instead of ending the program. The flag must live as long as the
// program.
void setFlagOnInterrupt(std::atomic<bool>& flag);

}  // namespace fennick::platform
