// End-to-end speed of a conversion run: a table of a SQLite source (Long,
// Text(40), Double, DateTime, a short text; a unique index on the key and
// an index on the name) converted into a new Jet 4 file, timed three ways in
// one run so that the time splits by stage:
//
//   source   a plain read of the same table through the source connection
//   values   the whole run with the Jet engine's row writing left out (the
//            adapter still converts every value for its column)
//   full     the whole run
//
// Jet engine = full - values. The source reads ahead on a thread of its
// own, so its time overlaps with converting: values is reading and
// converting together, source is reading alone.
//
//   conversion_bench [rows] [scratch-folder]    (defaults: 1000000, the temp folder)
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/run.h"
#include "engine/target.h"
#include "jet_target.h"
#include "jet_writer.h"
#include "platform/file.h"
#include "sources/source.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace fennick;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void makeSource(const std::string& path, long rows) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
  const std::string script =
      "create table LOAD (ID integer, NAME varchar(40), AMOUNT number(12,2), STAMP date, REMARK varchar(60));"
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < " + std::to_string(rows) + ") "
      "insert into LOAD select (i * 7919) % " + std::to_string(rows) + " + 1, 'Customer name ' || i, i * 0.01, "
      "'2024-05-17 10:' || printf('%02d', i % 60) || ':00', 'remark ' || (i % 100) from n;"
      "create unique index LOAD_ID on LOAD (ID);"
      "create index LOAD_NAME on LOAD (NAME);";
  char* error = nullptr;
  if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "?";
    sqlite3_free(error);
    sqlite3_close(db);
    throw std::runtime_error(message);
  }
  sqlite3_close(db);
}

// The engine's writer with the rows themselves left out.
class RowlessWriter : public JetWriter {
 public:
  explicit RowlessWriter(std::unique_ptr<JetWriter> inner) : inner_(std::move(inner)) {}
  void execute(const jet::sql::Statement& statement) override { inner_->execute(statement); }
  void appendRow(const jet::TableDefinition&, std::vector<std::optional<Value>>&) override {}
  void beginTransaction() override { inner_->beginTransaction(); }
  void commitTransaction() override { inner_->commitTransaction(); }
  void finishWrites() override { inner_->finishWrites(); }

 private:
  std::unique_ptr<JetWriter> inner_;
};

double convert(SourceConnection& source, const std::string& target, const TargetOpener& opener) {
  std::filesystem::remove(target);
  ConversionJob job;
  job.accessformat = 1;
  job.accessfilename = target;
  job.tables = {"LOAD"};
  TargetConnection connection(opener);
  ConversionLog log;
  ConversionHost host;
  const auto start = Clock::now();
  runConversion(job, RunTexts{}, source, connection, log, host);
  connection.close();
  const double seconds = secondsSince(start);
  for (const auto& line : log.lines())
    if (!line.empty() && line.rfind("Insert", 0) != 0 && line.rfind("Create", 0) != 0 && line.find("Completed") == std::string::npos &&
        line.find("migrated") == std::string::npos && line.find("Finish") == std::string::npos)
      std::printf("  log: %s\n", line.c_str());
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
  const std::string sourcePath = folder + "/fennick_conversion_bench.db";
  const std::string target = folder + "/fennick_conversion_bench.mdb";
  std::printf("Preparing a SQLite table of %ld rows...\n", rows);
  makeSource(sourcePath, rows);

  SourceConnection source;
  source.open("sqlite:" + sourcePath, "", "");
  auto start = Clock::now();
  long read = 0;
  std::size_t touched = 0;
  for (auto data = source.query("select * from LOAD"); !data->eof(); data->next(), ++read)
    for (std::size_t i = 0; i < data->fieldCount(); ++i) touched += data->value(i).isNull() ? 0 : 1;
  const double sourceSeconds = secondsSince(start);

  const TargetOpener rowless = [](const std::string& path) {
    return openJetTarget(path, [](jet::Database& db, bool readOnly) -> std::unique_ptr<JetWriter> {
      auto inner = makeEngineWriter(db, readOnly);
      if (!inner) return nullptr;
      return std::make_unique<RowlessWriter>(std::move(inner));
    });
  };
  const double valuesSeconds = convert(source, target, rowless);
  const double fullSeconds = convert(source, target, jetTargetOpener());

  const auto rate = [&](double s) { return static_cast<double>(rows) / s; };
  std::printf("%ld rows (%zu values read)\n", read, touched);
  std::printf("  plain read of the source (baseline): %7.2f s  %10.0f rows/s\n", sourceSeconds, rate(sourceSeconds));
  std::printf("  run without the engine's row writes: %7.2f s  %10.0f rows/s\n", valuesSeconds, rate(valuesSeconds));
  std::printf("  full run:                            %7.2f s  %10.0f rows/s   (target: at least 500000 rows/s)\n",
              fullSeconds, rate(fullSeconds));
  // The source is read ahead on a thread of its own, so reading overlaps
  // with the rest: its share is shown alone, then together with converting.
  std::printf("  split: reading the source alone %.2f s; reading and converting values %.2f s; the Jet engine %.2f s\n",
              sourceSeconds, valuesSeconds, fullSeconds - valuesSeconds);
  std::filesystem::remove(sourcePath);
  return 0;
}
