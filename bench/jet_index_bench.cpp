// The cost of keeping indexes on append: rows of (Long, Text(40), Double,
// DateTime, Memo with a short text) appended to a new Jet 4 table with a
// unique Long index (keys in random order) and a Text(40) index, committed
// every 5,000 rows, against the same load into the same table without
// indexes, in the same run. Target: at most twice the time.
//
//   jet_index_bench [rows] [scratch-folder]    (defaults: 1000000, the temp folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "jet/database.h"
#include "platform/file.h"

namespace {

using Clock = std::chrono::steady_clock;
using fennick::Value;
using namespace fennick::jet;

constexpr std::uint64_t kCommitEvery = 5000;

// Loads `ids` in their order; returns the seconds taken.
double load(const std::string& path, const std::vector<std::int32_t>& ids, bool indexed) {
  const std::string templateFile = std::string(FENNICK_SOURCE_DIR) + "/resources/mdb2000";
  std::filesystem::remove(path);
  fennick::platform::writeWholeFile(path, fennick::platform::readWholeFile(templateFile));
  const auto start = Clock::now();
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("Load", {{"Id", ColumnType::Long, 0},
                          {"Name", ColumnType::Text, 40},
                          {"Amount", ColumnType::Double, 0},
                          {"Stamp", ColumnType::DateTime, 0},
                          {"Remark", ColumnType::Memo, 0}});
  if (indexed) {
    db.createIndex("Load", {"PrimaryKey", {{"Id"}}, true, true});
    db.createIndex("Load", {"ByName", {{"Name"}}});
  }
  fennick::DateTime stamp;
  stamp.year = 2024;
  stamp.month = 5;
  stamp.day = 17;
  std::vector<Value> row(5);
  for (std::uint64_t i = 0; i < ids.size(); ++i) {
    stamp.second = static_cast<int>(i % 60);
    row[0] = Value::integer(ids[i]);
    row[1] = Value::text("Customer name " + std::to_string(ids[i]));
    row[2] = Value::real(static_cast<double>(i) * 0.01);
    row[3] = Value::dateTime(stamp);
    row[4] = Value::text("short remark");
    db.appendRow("Load", row);
    if ((i + 1) % kCommitEvery == 0) {
      db.commit();
      db.beginTransaction();
    }
  }
  db.commit();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string target = (folder / "fennick-index-bench.mdb").string();
  std::vector<std::int32_t> ids(rows);
  std::iota(ids.begin(), ids.end(), 1);
  std::shuffle(ids.begin(), ids.end(), std::mt19937(2026));

  const double plain = load(target, ids, false);
  const auto plainBytes = std::filesystem::file_size(target);
  const double indexed = load(target, ids, true);
  const auto indexedBytes = std::filesystem::file_size(target);
  std::size_t problems = 0;
  {
    const auto db = Database::open(target, OpenMode::ReadOnly);
    problems = db.checkIndexes("Load").size();
  }
  std::printf("%-56s %10s %14s %14s\n", "", "seconds", "rows/second", "file bytes");
  std::printf("%-56s %10.3f %14.0f %14llu\n", "baseline: the same rows, table without indexes", plain, rows / plain,
              (unsigned long long)plainBytes);
  std::printf("%-56s %10.3f %14.0f %14llu\n", "unique Long (random order) + Text(40) indexes", indexed, rows / indexed,
              (unsigned long long)indexedBytes);
  std::printf("indexed / baseline: %.2fx (target at most 2x); checker: %zu problems\n", indexed / plain, problems);
  std::filesystem::remove(target);
  return problems == 0 ? 0 : 1;
}
