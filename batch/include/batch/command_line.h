// The program's command line as an unattended start reads it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fennick {

// Splits a command line into its words: blanks and control characters
// separate them, double quotes group characters (blanks included) and are
// removed; an empty pair of quotes makes no word. On a whole command line
// the program's own name is the first word.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// An unattended run is asked for by any argument after the program's name:
// the first names the parameter file. Sets BatchMode accordingly and
// returns it.
bool setBatchModeFromArguments(const std::vector<std::string>& arguments);

}  // namespace fennick
