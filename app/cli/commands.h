// The sub-commands of fennick-cli, one source file each.
#pragma once

#include <string>
#include <vector>

namespace fennick::cli {

using Args = std::vector<std::string>;

// Each returns the process exit status. Errors that reach the user are
// thrown as exceptions carrying their message; main prints them.
int runInspect(const Args& args);
int runTables(const Args& args);
int runConvert(const Args& args);
int runRun(const Args& args);

// The usage text of every command, printed by "fennick-cli help".
extern const char* const kUsage;

}  // namespace fennick::cli
