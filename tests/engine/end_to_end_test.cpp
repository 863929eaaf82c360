// The whole conversion: the bundled sample from the SQLite source into new
// Access files of both formats, read back by mdbtools (natively) and by our
// own reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "engine/run.h"
#include "engine/target.h"
#include "jet/database.h"
#include "platform/codepage.h"
#include "sources/source.h"
#include "test_support.h"

namespace fennick {
namespace {

long long sourceRows(SourceConnection& source, const std::string& table) {
  long long n = 0;
  for (auto rows = source.query("select * from " + table); !rows->eof(); rows->next()) ++n;
  return n;
}

#ifndef _WIN32
std::string command(const std::string& line) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(line.c_str(), "r"), pclose);
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}
#endif

TEST(EndToEnd, TheSampleIntoBothFormats) {
  const std::vector<std::string> tables = {"DEPARTMENTS", "EMPLOYEES", "SALARIES"};
  for (int format : {0, 1}) {
    SourceConnection source;
    source.open("sqlite:" + test::binaryPath("samples/sample.db"), "", "");
    TargetConnection target(jetTargetOpener());
    ConversionLog log;
    ConversionHost host;
    ConversionJob job;
    job.accessformat = format;
    job.accessfilename = test::joinPath(test::scratchDir(), "sample.mdb");
    job.tables = tables;
    ASSERT_EQ(runConversion(job, RunTexts{}, source, target, log, host), RunEnd::Completed);
    target.close();

    // An Access 95/97 file keeps text in its code page (Windows-1252 here):
    // the sample's Chinese names cannot go in, and the log says so.
    const std::map<std::string, std::string> unstored = {
        {"DEPARTMENTS", "2 values could not be stored (DEPT_NAME 1, LOCATION 1)"},
        {"EMPLOYEES", "2 values could not be stored (FIRST_NAME 1, LAST_NAME 1)"}};
    std::vector<std::string> expected;
    for (const auto& t : tables) {
      expected.push_back("Create table " + t + "...Done");
      expected.push_back("");
      expected.push_back("Insert table " + t + " " + std::to_string(sourceRows(source, t)) +
                         " Rows ...Done");
      if (format == 0 && unstored.count(t)) expected.push_back(unstored.at(t));
      expected.push_back("");
    }
    const std::vector<std::string> head(log.lines().begin(), log.lines().end() - 3);
    EXPECT_EQ(head, expected) << "format " << format;

    auto db = jet::Database::open(job.accessfilename, jet::OpenMode::ReadOnly);
    EXPECT_EQ(db.info().version, format == 1 ? jet::FormatVersion::Jet4 : jet::FormatVersion::Jet3);
    for (const auto& t : tables) {
      // Every value arrives as the source holds it.
      auto source_rows = source.query("select * from " + t);
      auto rows = db.openCursor(t);
      while (!source_rows->eof()) {
        ASSERT_TRUE(rows.next()) << t;
        for (std::size_t i = 0; i < source_rows->fieldCount(); ++i) {
          const Value& from = source_rows->value(i);
          const Value& to = rows.values()[i];
          if (from.kind() == Value::Kind::Integer && to.kind() == Value::Kind::Double)
            EXPECT_EQ(static_cast<double>(from.asInteger()), to.asDouble()) << t;
          else if (from.kind() == Value::Kind::Text && format == 0 &&
                   platform::fromCodePage(1252, platform::toCodePage(1252, from.asText())) != from.asText())
            EXPECT_TRUE(to.isNull()) << t << "." << source_rows->fieldName(i);
          else
            EXPECT_EQ(from.toDisplayString(), to.toDisplayString()) << t << "." << source_rows->fieldName(i);
        }
        source_rows->next();
      }
      EXPECT_FALSE(rows.next()) << t;
#ifndef _WIN32
      const std::string count = command("mdb-count '" + job.accessfilename + "' " + t);
      EXPECT_EQ(std::stoll(count), sourceRows(source, t)) << t;
#endif
    }
  }
}

}  // namespace
}  // namespace fennick
