// The real Access files under the shared fixtures, for parameterised tests,
// and a scratch-copy helper for tests that damage one.
#pragma once

#include <string>
#include <vector>

namespace fennick::test {

// File names (not paths) of every .mdb fixture, sorted.
std::vector<std::string> accessFixtures();
std::string accessFixturePath(const std::string& name);
std::string readFileBytes(const std::string& path);

// Runs a shell command and returns its standard output; sets `ok` to
// whether it exited with status 0. Native builds only.
std::string runCommand(const std::string& command, bool& ok);
// Single-quotes an argument for the shell.
std::string shellQuote(const std::string& arg);

// Why mdbtools cannot judge here (under Wine, or not installed), or empty
// when it can: tests skip with this reason.
std::string mdbtoolsMissing();
// Runs an mdbtools command, failing the test when it does not succeed, and
// returns what it printed (standard error included).
std::string mdbtool(const std::string& command);

}  // namespace fennick::test
