// fennick-cli convert: a whole conversion run without the wizard.
#include <stdexcept>

#include "commands.h"
#include "console.h"
#include "engine/flags.h"
#include "engine/job.h"
#include "engine/log.h"
#include "engine/run.h"
#include "engine/target.h"
#include "log_printer.h"
#include "options.h"
#include "platform/terminal.h"
#include "sources/source.h"

namespace fennick::cli {
namespace {

int formatIndex(const std::string& text) {
  if (text == "95" || text == "97" || text == "95/97") return 0;
  if (text == "2000") return 1;
  throw std::runtime_error("--format must be 95 or 2000, not \"" + text + "\"");
}

int policyIndex(const std::string& text) {
  if (text == "overwrite") return 0;
  if (text == "merge") return 1;
  if (text == "skip") return 2;
  throw std::runtime_error("--existing must be overwrite, merge or skip, not \"" + text + "\"");
}

std::vector<std::string> allTables(SourceConnection& source) {
  std::vector<std::string> tables;
  auto rows = source.query("select  table_name   from   user_tables order by table_name");
  for (; !rows->eof(); rows->next()) tables.push_back(rows->value(0).toDisplayString());
  return tables;
}

// The command line has no window: Stop is Ctrl+C, which sets the flag
// directly; the checkpoints only need to read it. Failed steps are counted
// for the exit status.
class ConsoleHost : public ConversionHost {
 public:
  void stepFailed(const std::string&) override { ++failures; }
  int failures = 0;
};

}  // namespace

int runConvert(const Args& args) {
  const ParsedOptions options = parseOptions(
      args, {"--service", "--user", "--target", "--format", "--existing"},
      {"--definitions-only", "--skip-indexes", "--blob-to-text", "--uppercase", "--all-tables"});
  const std::string service = options.value("--service");
  if (service.empty()) throw std::runtime_error("convert needs --service");
  ConversionJob job;
  job.oracleh = service;
  job.oracleu = options.value("--user");
  job.accessfilename = options.value("--target");
  if (job.accessfilename.empty()) throw std::runtime_error("convert needs --target FILE.mdb");
  job.accessformat = formatIndex(options.value("--format", "95"));
  job.processtable = policyIndex(options.value("--existing", "overwrite"));
  job.tabledefonly = options.has("--definitions-only");
  job.skipindex = options.has("--skip-indexes");
  job.blobtotext = options.has("--blob-to-text");
  job.nameuppercase = options.has("--uppercase");
  if (options.has("--all-tables") == !options.positional.empty())
    throw std::runtime_error("name the tables to convert, or give --all-tables");
  job.oraclep = sourcePassword(job.oracleh, job.oracleu);

  SourceConnection source;
  source.open(job.oracleh, job.oracleu, job.oraclep);
  job.tables = options.has("--all-tables") ? allTables(source) : options.positional;

  TargetConnection target(jetTargetOpener());
  ConversionLog log;
  LogPrinter printer(log, platform::stdoutIsTerminal());
  platform::setFlagOnInterrupt(StopRequested);
  ConsoleHost host;

  RunEnd end;
  try {
    end = runConversion(job, RunTexts{}, source, target, log, host);
  } catch (...) {
    printer.finish();
    throw;
  }
  printer.finish();
  if (end == RunEnd::Stopped) {
    writeErr("fennick-cli: conversion stopped\n");
    return 1;
  }
  if (host.failures > 0) {
    writeErr("fennick-cli: " + std::to_string(host.failures) +
             (host.failures == 1 ? " step" : " steps") + " failed; see the log above\n");
    return 1;
  }
  return 0;
}

}  // namespace fennick::cli
