// UTF-8 in and out of the console: the command line as UTF-8 on every
// system, and output that shows non-ASCII text correctly on a Windows
// console as well as in a pipe.
#pragma once

#include <string>
#include <string_view>

#include "commands.h"

namespace fennick::cli {

Args argumentsUtf8(int argc, char** argv);
void writeOut(std::string_view utf8);
void writeErr(std::string_view utf8);
// Shows the prompt on the terminal and reads one line without echoing it;
// throws when there is no terminal to ask on.
std::string readSecretLine(std::string_view prompt);

}  // namespace fennick::cli
