// The cost of keeping indexes on append: rows of (Long, Text(40), Double,
// DateTime, Memo with a short text) appended to a new Jet 4 table with a
// unique Long index (keys in random order) and a Text(40) index, committed
// every 5,000 rows, against the same load into the same table without
// indexes, in the same run. Target: at most twice the time. The two loads
// take turns for a few rounds and the best time of each is compared, so
// that a machine slowed down for a while does not weigh on one side only.
//
//   jet_index_bench [rows] [scratch-folder] [rounds]    (defaults: 1000000, the temp folder, 3)
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

struct Load {
  double seconds = 0;
  CommitStatistics written;
};

// Loads `ids` in their order.
Load load(const std::string& path, const std::vector<std::int32_t>& ids, bool indexed) {
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
  db.flush();  // as closing the handle would
  return {std::chrono::duration<double>(Clock::now() - start).count(), db.commitStatistics()};
}

// The least any commit scheme of whole pages could spend on the load's
// writes: as many pages as its commits journaled and wrote, written
// sequentially to two files and synced as often as the commits sync them.
double pageFloor(const std::string& path, const CommitStatistics& s) {
  const std::size_t pageSize = 4096;
  const std::vector<std::uint8_t> page(pageSize, 0x5A);
  auto journal = fennick::platform::File::open(path + ".j", fennick::platform::File::Mode::CreateExclusive);
  auto data = fennick::platform::File::open(path + ".d", fennick::platform::File::Mode::CreateExclusive);
  const auto start = Clock::now();
  std::uint64_t journaled = 0, written = 0;
  for (std::uint64_t c = 1; c <= s.commits; ++c) {
    for (; journaled < s.pagesJournaled * c / s.commits; ++journaled) journal.writeAt(journaled * pageSize, page.data(), pageSize);
    journal.sync();
    for (; written < s.pagesWritten * c / s.commits; ++written) data.writeAt(written * pageSize, page.data(), pageSize);
    data.sync();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::filesystem::remove(path + ".j");
  std::filesystem::remove(path + ".d");
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string target = (folder / "fennick-index-bench.mdb").string();
  std::vector<std::int32_t> ids(rows);
  std::iota(ids.begin(), ids.end(), 1);
  std::shuffle(ids.begin(), ids.end(), std::mt19937(2026));

  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  Load plainLoad, indexedLoad;
  std::uintmax_t plainBytes = 0, indexedBytes = 0;
  for (int round = 1; round <= rounds; ++round) {
    const Load p = load(target, ids, false);
    plainBytes = std::filesystem::file_size(target);
    const Load x = load(target, ids, true);
    indexedBytes = std::filesystem::file_size(target);
    std::printf("round %d: without indexes %.3f s, with indexes %.3f s\n", round, p.seconds, x.seconds);
    if (round == 1 || p.seconds < plainLoad.seconds) plainLoad = p;
    if (round == 1 || x.seconds < indexedLoad.seconds) indexedLoad = x;
  }
  const double plain = plainLoad.seconds;
  const double indexed = indexedLoad.seconds;
  const double floor = pageFloor(target, indexedLoad.written);
  std::size_t problems = 0;
  {
    const auto db = Database::open(target, OpenMode::ReadOnly);
    problems = db.checkIndexes("Load").size();
  }
  std::printf("best of %d rounds:\n%-56s %10s %14s %14s\n", rounds, "", "seconds", "rows/second", "file bytes");
  std::printf("%-56s %10.3f %14.0f %14llu\n", "baseline: the same rows, table without indexes", plain, rows / plain,
              (unsigned long long)plainBytes);
  std::printf("%-56s %10.3f %14.0f %14llu\n", "unique Long (random order) + Text(40) indexes", indexed, rows / indexed,
              (unsigned long long)indexedBytes);
  std::printf("%-56s %10.3f\n", "floor: the indexed load's page writes, sequential", floor);
  const auto pages = [](const CommitStatistics& s) {
    return std::to_string(s.pagesWritten) + " pages written, " + std::to_string(s.pagesJournaled) + " journaled in " +
           std::to_string(s.commits) + " commits";
  };
  std::printf("without indexes: %s\nwith indexes:    %s\n", pages(plainLoad.written).c_str(), pages(indexedLoad.written).c_str());
  std::printf("indexed / baseline: %.2fx (target at most 2x); indexed / floor: %.2fx; checker: %zu problems\n",
              indexed / plain, indexed / floor, problems);
  std::filesystem::remove(target);
  return problems == 0 ? 0 : 1;
}
