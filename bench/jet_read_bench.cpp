// Reading speed and memory of the Jet engine's row cursor on a large table,
// against mdb-export on the same file in the same run.
//
//   jet_read_bench [rows] [scratch-folder]     (defaults: 1000000, the temp folder)
//
// The engine cannot write databases yet, so a benchmark-only generator makes
// the large file: it copies testV2000.mdb, fills new data pages of Table1
// with copies of its first row, and points the table's page map at them
// through a usage-map page. Only this benchmark uses that file.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "jet/database.h"
#include "platform/file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kPageSize = 4096;       // Jet 4
constexpr std::size_t kRowTable = 14;         // data page: row offsets start here
constexpr std::size_t kTdefRowCount = 16;

std::uint32_t get32(const std::string& b, std::size_t at) {
  return std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8 | std::uint8_t(b[at + 2]) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t get16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}
void put16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Builds the large copy of testV2000.mdb; returns the number of rows in it.
std::uint64_t generate(const std::string& fixture, const std::string& out, std::uint64_t wanted) {
  std::string file = fennick::platform::readWholeFile(fixture);
  std::uint32_t tdef, mapPointer;
  {
    const auto db = fennick::jet::Database::open(fixture, fennick::jet::OpenMode::ReadOnly);
    const auto def = db.definition("Table1");
    tdef = def.definitionPage;
    mapPointer = def.usageMapPointer;
  }
  // The table's first row and the pages it already owns.
  std::string row;
  std::vector<std::uint32_t> owned;
  for (std::uint32_t p = 1; (p + 1) * kPageSize <= file.size(); ++p) {
    const std::size_t base = p * kPageSize;
    if (file[base] != 1 || get32(file, base + 4) != tdef) continue;
    owned.push_back(p);
    if (row.empty()) {
      const std::uint16_t start = get16(file, base + kRowTable) & 0x1FFF;
      row = file.substr(base + start, kPageSize - start);
    }
  }
  const std::size_t perPage = (kPageSize - kRowTable) / (row.size() + 2);
  const std::uint64_t newPages = (wanted + perPage - 1) / perPage;
  const std::uint32_t firstNew = static_cast<std::uint32_t>(file.size() / kPageSize);
  const std::uint32_t mapPage = firstNew + static_cast<std::uint32_t>(newPages);
  if (mapPage >= (kPageSize - 4) * 8) throw std::runtime_error("too many rows for one usage-map page");

  std::uint64_t rows = 0;
  std::string page(kPageSize, '\0');
  for (std::uint64_t i = 0; i < newPages; ++i) {
    std::fill(page.begin(), page.end(), '\0');
    page[0] = 1;
    page[1] = 1;
    put32(page, 4, tdef);
    const std::size_t here = std::min<std::uint64_t>(perPage, wanted - rows);
    std::size_t end = kPageSize;
    for (std::size_t r = 0; r < here; ++r) {
      end -= row.size();
      page.replace(end, row.size(), row);
      put16(page, kRowTable + 2 * r, static_cast<std::uint16_t>(end));
    }
    put16(page, 12, static_cast<std::uint16_t>(here));
    put16(page, 2, static_cast<std::uint16_t>(end - kRowTable - 2 * here));
    file += page;
    rows += here;
  }
  // One usage-map page covering pages 0..32735.
  std::fill(page.begin(), page.end(), '\0');
  page[0] = 5;
  page[1] = 1;
  auto own = [&](std::uint32_t p) { page[4 + p / 8] = char(page[4 + p / 8] | (1 << (p % 8))); };
  for (auto p : owned) own(p);
  for (std::uint32_t p = firstNew; p < mapPage; ++p) own(p);
  file += page;
  // The table's map row becomes a type-1 map naming that page.
  const std::size_t mapBase = (mapPointer >> 8) * kPageSize;
  const std::uint8_t mapRow = mapPointer & 0xFF;
  const std::size_t rowStart = mapBase + (get16(file, mapBase + kRowTable + 2 * mapRow) & 0x1FFF);
  const std::size_t rowEnd =
      mapBase + (mapRow == 0 ? kPageSize : get16(file, mapBase + kRowTable + 2 * (mapRow - 1)) & 0x1FFF);
  std::fill(file.begin() + rowStart, file.begin() + rowEnd, '\0');
  file[rowStart] = 1;
  put32(file, rowStart + 1, mapPage);
  std::uint64_t total = rows;
  // The original rows stay too.
  {
    for (auto p : owned) total += get16(file, p * kPageSize + 12);
  }
  put32(file, tdef * kPageSize + kTdefRowCount, static_cast<std::uint32_t>(total));
  fennick::platform::writeWholeFile(out, file);
  return total;
}

long peakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

struct Pass {
  double seconds;
  std::uint64_t rows;
  std::uint64_t bytes;  // of rendered text, so the work cannot be skipped
};

Pass readAll(const std::string& path, bool render) {
  const auto start = Clock::now();
  const auto db = fennick::jet::Database::open(path, fennick::jet::OpenMode::ReadOnly);
  auto rows = db.openCursor("Table1");
  Pass pass{0, 0, 0};
  std::string line;
  while (rows.next()) {
    ++pass.rows;
    if (render) {
      line.clear();
      for (const auto& v : rows.values()) {
        line += v.toDisplayString();
        line += ',';
      }
      pass.bytes += line.size();
    }
  }
  pass.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return pass;
}

double timeCommand(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::cerr << "command failed: " << command << "\n";
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string fixture = std::string(FENNICK_SHARED_DIR) + "/fixtures/access/testV2000.mdb";
  if (argc == 4 && std::string(argv[1]) == "--generate") {
    // Run as a child so that the generator's memory does not count in the
    // reader's peak.
    std::printf("%llu\n", (unsigned long long)generate(fixture, argv[3], std::strtoull(argv[2], nullptr, 10)));
    return 0;
  }
  const std::uint64_t wanted = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string small = (folder / "fennick-bench-small.mdb").string();
  const std::string large = (folder / "fennick-bench-large.mdb").string();
  auto generated = [&](std::uint64_t rows, const std::string& path) {
    timeCommand("'" + std::string(argv[0]) + "' --generate " + std::to_string(rows) + " '" + path + "' > /dev/null");
    const auto db = fennick::jet::Database::open(path, fennick::jet::OpenMode::ReadOnly);
    return std::uint64_t(db.definition("Table1").rowCount);
  };
  const std::uint64_t smallRows = generated(wanted / 10, small);
  const std::uint64_t largeRows = generated(wanted, large);
  std::printf("files: %llu rows (%s), %llu rows (%s)\n", (unsigned long long)smallRows, small.c_str(),
              (unsigned long long)largeRows, large.c_str());

  const Pass smallPass = readAll(small, false);
  const long rssSmall = peakRssKiB();
  const Pass cursor = readAll(large, false);
  const long rssLarge = peakRssKiB();
  const Pass rendered = readAll(large, true);
  const double mdbExport = timeCommand("mdb-export '" + large + "' Table1 > /dev/null");

  std::printf("%-44s %10s %14s\n", "", "seconds", "rows/second");
  auto line = [](const char* what, double s, std::uint64_t rows) {
    std::printf("%-44s %10.3f %14.0f\n", what, s, rows / s);
  };
  line("baseline: mdb-export to /dev/null", mdbExport, largeRows);
  line("fennick cursor, values only", cursor.seconds, cursor.rows);
  line("fennick cursor, values rendered as text", rendered.seconds, rendered.rows);
  line("fennick cursor, 1/10 of the rows", smallPass.seconds, smallPass.rows);
  std::printf("speed-up over mdb-export: %.1fx (values), %.1fx (rendered)\n", mdbExport / cursor.seconds,
              mdbExport / rendered.seconds);
  std::printf("peak memory: %ld KiB after %llu rows, %ld KiB after %llu rows\n", rssSmall,
              (unsigned long long)smallPass.rows, rssLarge, (unsigned long long)cursor.rows);
  std::filesystem::remove(small);
  std::filesystem::remove(large);
  return cursor.rows == largeRows ? 0 : 1;
}
