// fennick-cli tables: the source's tables, one per line, read with the same
// user_tables query the wizard's table page runs. Relies on the source
// connection (sources/source.h) and the console (console.h).
#include <stdexcept>

#include "commands.h"
#include "console.h"
#include "options.h"
#include "sources/source.h"

namespace fennick::cli {

namespace {

constexpr const char* kTablesQuery = "select  table_name   from   user_tables order by table_name";

}  // namespace

int runTables(const Args& args) {
  const ParsedOptions options = parseOptions(args, {"--service", "--user"}, {});
  if (!options.positional.empty())
    throw std::runtime_error("tables: unexpected argument \"" + options.positional.front() + "\"");
  const std::string service = options.value("--service");
  const std::string user = options.value("--user");
  if (service.empty()) throw std::runtime_error("tables: --service SERVICE is required");

  SourceConnection connection;
  connection.open(service, user, sourcePassword(service, user));
  const auto tables = connection.query(kTablesQuery);
  const std::size_t name = tables->fieldIndex("table_name");
  for (; !tables->eof(); tables->next()) writeOut(tables->value(name).toDisplayString() + "\n");
  return 0;
}

}  // namespace fennick::cli
