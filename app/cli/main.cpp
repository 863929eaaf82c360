// fennick-cli: the conversion and the engine's tools on the command line.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"
#include "console.h"

namespace fennick::cli {

const char* const kUsage =
    "Usage:\n"
    "  fennick-cli inspect FILE.mdb [TABLE]\n"
    "      Show a database's format and tables, or one table's rows as CSV.\n"
    "  fennick-cli inspect --check FILE.mdb\n"
    "      Check every table's indexes against its rows (exit status 1 on a problem).\n"
    "  fennick-cli tables --service SERVICE [--user USER]\n"
    "      List the source's tables.\n"
    "  fennick-cli convert --service SERVICE [--user USER] --target FILE.mdb [options]\n"
    "      Convert tables of the source schema into an Access database.\n"
    "  fennick-cli run JOB.fennick\n"
    "      Replay a job saved with the wizard's shortcut, without a window; the\n"
    "      log goes to standard output and beside the job file.\n"
    "  fennick-cli help | --version\n";

}  // namespace fennick::cli

int main(int argc, char** argv) {
  using namespace fennick::cli;
  Args args = argumentsUtf8(argc, argv);
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    writeOut(kUsage);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version") {
    writeOut("fennick-cli 4.0\n");
    return 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "inspect") return runInspect(args);
    if (command == "tables") return runTables(args);
    if (command == "convert") return runConvert(args);
    if (command == "run") return runRun(args);
    writeErr("fennick-cli: unknown command \"" + command + "\"\n" + kUsage);
    return 2;
  } catch (const std::exception& e) {
    writeErr("fennick-cli: " + std::string(e.what()) + "\n");
    return 1;
  }
}
