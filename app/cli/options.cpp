// Option parsing and the source password for fennick-cli.
#include "options.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/terminal.h"

namespace fennick::cli {

std::string ParsedOptions::value(const std::string& name, const std::string& fallback) const {
  const auto it = values.find(name);
  return it == values.end() ? fallback : it->second;
}

ParsedOptions parseOptions(const Args& args, const std::set<std::string>& valued,
                           const std::set<std::string>& switches) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      parsed.positional.push_back(arg);
      continue;
    }
    if (valued.count(arg)) {
      if (i + 1 >= args.size()) throw std::runtime_error("option " + arg + " needs a value");
      parsed.values[arg] = args[++i];
    } else if (switches.count(arg)) {
      parsed.flags.insert(arg);
    } else if (arg == "--password") {
      throw std::runtime_error(
          "the password is not taken from the command line; set FENNICK_PASSWORD or type it "
          "when asked");
    } else {
      throw std::runtime_error("unknown option " + arg);
    }
  }
  return parsed;
}

std::string sourcePassword(const std::string& service, const std::string& user) {
  if (service.rfind("sqlite:", 0) == 0) return {};  // the SQLite source has none
  if (const char* fromEnvironment = std::getenv("FENNICK_PASSWORD")) return fromEnvironment;
  const std::string who = user.empty() ? service : user + "@" + service;
  if (auto typed = platform::readHiddenLine("Password for " + who + ": ")) return *typed;
  throw std::runtime_error("no terminal to ask for the password on; set FENNICK_PASSWORD");
}

}  // namespace fennick::cli
