// Command-line options of the form --name VALUE and --flag, with the
// remaining words as positional arguments.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "commands.h"

namespace fennick::cli {

struct ParsedOptions {
  std::map<std::string, std::string> values;  // "--service" -> "sqlite:x.db"
  std::set<std::string> flags;                // "--all-tables"
  std::vector<std::string> positional;

  bool has(const std::string& flag) const { return flags.count(flag) > 0; }
  std::string value(const std::string& name, const std::string& fallback = {}) const;
};

// `valued` names the options that take a value, `switches` those that do
// not; anything else starting with "--" is an error naming it.
ParsedOptions parseOptions(const Args& args, const std::set<std::string>& valued,
                           const std::set<std::string>& switches);

// The source password: none for the SQLite source; otherwise
// FENNICK_PASSWORD, else asked on the terminal; without a terminal an error
// says how to give it.
std::string sourcePassword(const std::string& service, const std::string& user);

}  // namespace fennick::cli
