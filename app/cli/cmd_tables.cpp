// fennick-cli tables: the source's tables, one per line, read with the same
// user_tables query the wizard's table page runs. Relies on the source
// connection (sources/source.h) and the console (console.h).
#include <cstdlib>
#include <stdexcept>

#include "commands.h"
#include "console.h"
#include "sources/source.h"

namespace fennick::cli {

namespace {

constexpr const char* kTablesQuery = "select  table_name   from   user_tables order by table_name";

// Only an Oracle service asks for a password: the SQLite source has none.
std::string passwordFor(const std::string& service, const std::string& user) {
  if (service.starts_with("sqlite:")) return {};
  if (const char* fromEnvironment = std::getenv("FENNICK_PASSWORD")) return fromEnvironment;
  return readSecretLine("Password for " + (user.empty() ? std::string() : user + "@") + service +
                        ": ");
}

}  // namespace

int runTables(const Args& args) {
  std::string service, user;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if ((option == "--service" || option == "--user") && i + 1 < args.size()) {
      (option == "--service" ? service : user) = args[++i];
    } else if (option == "--password") {
      throw std::runtime_error(
          "the password is not taken from the command line; set FENNICK_PASSWORD or type it "
          "when asked");
    } else {
      throw std::runtime_error("tables: unexpected argument \"" + option + "\"\n" +
                               std::string(kUsage));
    }
  }
  if (service.empty()) throw std::runtime_error("tables: --service SERVICE is required");

  SourceConnection connection;
  connection.open(service, user, passwordFor(service, user));
  const auto tables = connection.query(kTablesQuery);
  const std::size_t name = tables->fieldIndex("table_name");
  for (; !tables->eof(); tables->next()) writeOut(tables->value(name).toDisplayString() + "\n");
  return 0;
}

}  // namespace fennick::cli
