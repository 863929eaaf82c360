#include <gtest/gtest.h>

#include "log_printer.h"

namespace fennick::cli {
namespace {

// A run's typical changes: a line, its progress rewritten, then finished.
void progress(ConversionLog& log) {
  log.AppendLine("Insert table T... ");
  log.ReplaceLastLine("Insert table T 100 Rows ");
  log.ReplaceLastLine("Insert table T 150 Rows ");
  log.AppendToLastLine("...Done");
  log.AppendEmptyLine();
}

TEST(LogPrinter, IntoAPipeEveryLineOnceInItsFinalForm) {
  ConversionLog log;
  std::string out;
  {
    LogPrinter printer(log, false, [&](std::string_view s) { out += s; });
    progress(log);
  }
  EXPECT_EQ(out, "Insert table T 150 Rows ...Done\n\n");
}

TEST(LogPrinter, OnATerminalTheLastLineIsRewrittenInPlace) {
  ConversionLog log;
  std::string out;
  LogPrinter printer(log, true, [&](std::string_view s) { out += s; });
  progress(log);
  printer.finish();
  EXPECT_EQ(out,
            "Insert table T... "
            "\r\x1b[KInsert table T 100 Rows "
            "\r\x1b[KInsert table T 150 Rows "
            "\r\x1b[KInsert table T 150 Rows ...Done"
            "\r\x1b[KInsert table T 150 Rows ...Done\n"
            "\r\x1b[K\n");
}

}  // namespace
}  // namespace fennick::cli
