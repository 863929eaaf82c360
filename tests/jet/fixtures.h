// The real Access files under the shared fixtures, for parameterised tests,
// and a scratch-copy helper for tests that damage one.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
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

// Our two empty-database templates, for tests run in both formats.
struct TemplateCase {
  const char* file;  // under resources/
  int version;       // 4 or 3
};
inline void PrintTo(const TemplateCase& c, std::ostream* os) { *os << c.file; }
inline constexpr TemplateCase kTemplateCases[] = {{"mdb2000", 4}, {"mdb95", 3}};
// A fresh copy of the template in a scratch folder, named after `name`.
std::string freshCopy(const TemplateCase& c, const std::string& name);

// Runs `writer` in a child process and kills it (SIGKILL) after
// `delayMicroseconds`. The writer tells what it has reached through the
// function it is given; the numbers it told before it died are returned.
// Sets `killed` to false when the writer ended by itself (it throwing
// counts so). POSIX only.
using ReportProgress = std::function<void(std::uint32_t)>;
std::vector<std::uint32_t> killWriterAfter(int delayMicroseconds, const std::function<void(const ReportProgress&)>& writer,
                                           bool& killed);

}  // namespace fennick::test
