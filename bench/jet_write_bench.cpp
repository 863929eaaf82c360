// Writing speed and memory of the Jet engine: rows of (Long, Text(40),
// Double, DateTime, Memo with a short text) appended to a new table of a
// Jet 4 file made from our template, committed every 5,000 rows, against
// the floor of writing the same number of bytes sequentially to a file in
// the same run.
//
//   jet_write_bench [rows] [scratch-folder]    (defaults: 1000000, the temp folder)
//
// Each load runs in a child process so that its peak memory is its own; a
// load of a tenth of the rows shows whether memory grows with the rows.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "jet/database.h"
#include "platform/file.h"

namespace {

using Clock = std::chrono::steady_clock;
using fennick::Value;
using namespace fennick::jet;

constexpr std::uint64_t kCommitEvery = 5000;

long peakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// The child: writes the rows, prints "seconds peak-KiB file-bytes".
int load(std::uint64_t rows, const std::string& path) {
  const std::string templateFile = std::string(FENNICK_SOURCE_DIR) + "/resources/mdb2000";
  fennick::platform::writeWholeFile(path, fennick::platform::readWholeFile(templateFile));
  const auto start = Clock::now();
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("Load", {{"Id", ColumnType::Long, 0},
                          {"Name", ColumnType::Text, 40},
                          {"Amount", ColumnType::Double, 0},
                          {"Stamp", ColumnType::DateTime, 0},
                          {"Remark", ColumnType::Memo, 0}});
  fennick::DateTime stamp;
  stamp.year = 2024;
  stamp.month = 5;
  stamp.day = 17;
  std::vector<Value> row(5);
  for (std::uint64_t i = 0; i < rows; ++i) {
    stamp.second = static_cast<int>(i % 60);
    row[0] = Value::integer(static_cast<std::int64_t>(i));
    row[1] = Value::text("Customer name " + std::to_string(i));
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
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%.6f %ld %llu\n", seconds, peakRssKiB(),
              (unsigned long long)std::filesystem::file_size(path));
  return 0;
}

struct Result {
  double seconds = 0;
  long peakKiB = 0;
  unsigned long long bytes = 0;
};

Result runChild(const char* self, std::uint64_t rows, const std::string& path) {
  const std::string command = "'" + std::string(self) + "' --load " + std::to_string(rows) + " '" + path + "'";
  Result r;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe || std::fscanf(pipe, "%lf %ld %llu", &r.seconds, &r.peakKiB, &r.bytes) != 3)
    std::cerr << "the load failed: " << command << "\n";
  if (pipe) ::pclose(pipe);
  return r;
}

// Writing `bytes` in 64 KiB pieces and syncing once: the floor.
double sequentialWrite(const std::string& path, unsigned long long bytes) {
  const std::vector<char> chunk(64 * 1024, 'x');
  const auto start = Clock::now();
  {
    auto file = fennick::platform::File::open(path, fennick::platform::File::Mode::CreateExclusive);
    for (unsigned long long at = 0; at < bytes; at += chunk.size())
      file.writeAt(at, chunk.data(), std::min<unsigned long long>(chunk.size(), bytes - at));
    file.sync();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--load") return load(std::strtoull(argv[2], nullptr, 10), argv[3]);
  const std::uint64_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string target = (folder / "fennick-write-bench.mdb").string();
  const std::string floorFile = (folder / "fennick-write-bench.bin").string();

  const Result small = runChild(argv[0], rows / 10, target);
  const Result large = runChild(argv[0], rows, target);
  const double floor = sequentialWrite(floorFile, large.bytes);
  std::uint64_t counted = 0;
  {
    const auto db = Database::open(target, OpenMode::ReadOnly);
    counted = db.definition("Load").rowCount;
  }

  std::printf("%-52s %10s %14s\n", "", "seconds", "rows/second");
  std::printf("%-52s %10.3f %14.0f\n", "baseline: same bytes written sequentially, one sync", floor, rows / floor);
  std::printf("%-52s %10.3f %14.0f\n", "fennick appendRow, commit every 5,000 rows", large.seconds, rows / large.seconds);
  std::printf("%-52s %10.3f %14.0f\n", "fennick appendRow, 1/10 of the rows", small.seconds,
              (rows / 10) / small.seconds);
  std::printf("file: %llu bytes for %llu rows; %.1fx the floor's time\n", large.bytes, (unsigned long long)counted,
              large.seconds / floor);
  std::printf("peak memory: %ld KiB for %llu rows, %ld KiB for %llu rows\n", small.peakKiB,
              (unsigned long long)(rows / 10), large.peakKiB, (unsigned long long)rows);
  std::filesystem::remove(target);
  std::filesystem::remove(floorFile);
  return counted == rows ? 0 : 1;
}
