// Damaged files: small mutations of a real fixture in a scratch copy. Each
// must give a clear error naming the file; none may crash, hang or allocate
// without bound.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures.h"
#include "jet/database.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using Mutation = std::function<void(std::string& bytes, std::size_t pageSize)>;

std::uint32_t get32(const std::string& b, std::size_t at) {
  return std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8 | std::uint8_t(b[at + 2]) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
void put16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// The first data page of the catalogue (owned by page 2).
std::size_t firstCatalogDataPage(const std::string& b, std::size_t pageSize) {
  for (std::size_t p = 3; (p + 1) * pageSize <= b.size(); ++p)
    if (b[p * pageSize] == 1 && get32(b, p * pageSize + 4) == 2) return p;
  ADD_FAILURE() << "no catalogue data page";
  return 0;
}

// Opens the file and reads every row of every table.
void readEverything(const std::string& path) {
  const Database db = Database::open(path, OpenMode::ReadOnly);
  for (const auto& t : db.tables()) {
    RowCursor rows = db.openCursor(t.name);
    while (rows.next()) {
    }
  }
}

// Points every long-value piece that seems to continue on another
// long-value page back at itself (some such rows may be single-page values
// whose bytes only look like a pointer; the real chains among them loop).
void loopLongValueChains(std::string& b, std::size_t ps) {
  int looped = 0;
  const std::size_t rowCount = ps == 2048 ? 8 : 12;
  auto isLongValuePage = [&](std::size_t p) { return (p + 1) * ps <= b.size() && b[p * ps] == 1 && b.compare(p * ps + 4, 4, "LVAL") == 0; };
  for (std::size_t p = 1; (p + 1) * ps <= b.size(); ++p) {
    if (!isLongValuePage(p)) continue;
    const std::size_t base = p * ps;
    std::size_t previous = ps;
    for (std::size_t r = 0; r < std::uint16_t(get32(b, base + rowCount) & 0xFFFF); ++r) {
      const std::uint16_t raw = std::uint16_t(get32(b, base + rowCount + 2 + 2 * r) & 0xFFFF);
      const std::size_t start = raw & 0x1FFF;
      if (!(raw & 0xC000) && previous > start + 4) {
        const std::uint32_t next = get32(b, base + start);
        if (next != 0 && isLongValuePage(next >> 8)) {
          put32(b, base + start, std::uint32_t(p << 8 | r));
          ++looped;
        }
      }
      previous = start;
    }
  }
  if (looped == 0) ADD_FAILURE() << "no chained long value";
}

struct Case {
  const char* name;
  Mutation mutate;
  const char* expected;  // part of the message
};

const Case kCases[] = {
    {"empty file", [](std::string& b, std::size_t) { b.clear(); }, "is not an Access database"},
    {"not a database", [](std::string& b, std::size_t) { b = std::string(5000, 'x'); }, "is not an Access database"},
    {"Access 2007 file", [](std::string& b, std::size_t) { b[0x14] = 2; }, "Access 2007 or later"},
    {"encrypted pages", [](std::string& b, std::size_t) { b[0x3E] = char(b[0x3E] ^ 0x5A); }, "is encrypted"},
    {"truncated to the first page", [](std::string& b, std::size_t ps) { b.resize(ps); }, "damaged"},
    {"truncated mid-catalogue", [](std::string& b, std::size_t ps) { b.resize(2 * ps + 100); }, "damaged"},
    {"page map pointer out of range",
     [](std::string& b, std::size_t ps) {
       const std::size_t usageMap = ps == 2048 ? 35 : 55;
       put32(b, 2 * ps + usageMap, 0x00FFFF00u);
     },
     "past the end of the file"},
    {"definition chain loops back to itself",
     [](std::string& b, std::size_t ps) { put32(b, 2 * ps + 4, 2); }, "loop"},
    {"row table longer than the page",
     [](std::string& b, std::size_t ps) {
       const std::size_t page = firstCatalogDataPage(b, ps);
       put16(b, page * ps + (ps == 2048 ? 8 : 12), 0xFFFF);
     },
     "more than fit on a page"},
    {"row offset past the page end",
     [](std::string& b, std::size_t ps) {
       const std::size_t page = firstCatalogDataPage(b, ps);
       put16(b, page * ps + (ps == 2048 ? 10 : 14), 0x0008);  // starts inside the header
     },
     "lies outside the page"},
    {"long-value chains loop back to themselves", loopLongValueChains, "form a loop"},
    {"column count larger than the definition",
     [](std::string& b, std::size_t ps) { put16(b, 2 * ps + (ps == 2048 ? 25 : 45), 0xFFFF); },
     "more than it holds"},
};

class JetCorruption : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(JetCorruption, GivesAClearErrorNamingTheFile) {
  const auto& [fixture, index] = GetParam();
  const Case& c = kCases[index];
  std::string bytes = test::readFileBytes(test::accessFixturePath(fixture));
  const std::size_t pageSize = bytes[0x14] == 0 ? 2048 : 4096;
  c.mutate(bytes, pageSize);
  const std::string path = test::joinPath(test::scratchDir(), "damaged.mdb");
  platform::writeWholeFile(path, bytes);
  try {
    readEverything(path);
    FAIL() << c.name << ": no error";
  } catch (const Error& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(path), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find(c.expected), std::string::npos) << c.name << ": " << message;
  }
}

INSTANTIATE_TEST_SUITE_P(Mutations, JetCorruption,
                         ::testing::Combine(::testing::Values("testV1997.mdb", "testV2000.mdb"),
                                            ::testing::Range(0, int(std::size(kCases)))),
                         [](const auto& info) {
                           std::string name = std::get<0>(info.param).substr(0, std::get<0>(info.param).find('.')) +
                                              "_" + kCases[std::get<1>(info.param)].name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
}  // namespace fennick::jet
