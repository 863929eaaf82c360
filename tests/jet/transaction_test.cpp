// Writing pages safely: a rolled-back transaction leaves the file as it was,
// a committed one is seen by our reader and mdbtools, a journal left behind
// is played back (or, read-only, applied in memory), and a process killed at
// random points of its commits always leaves exactly a committed state.
// Works on copies of the Jet 4 template; the changes are made with the
// pager's write side, on fixed fields of the catalogue rows, so that mdbtools
// can judge every state.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
#include "journal.h"
#include "page_allocator.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using test::readFileBytes;

constexpr std::uint32_t kObjectsDataPage = 14;  // MSysObjects rows in the Jet 4 template
constexpr std::uint32_t kAcesDataPage = 15;     // MSysACEs rows
constexpr std::uint32_t kTemplatePages = 16;

std::string freshCopy(const std::string& name) {
  const std::string path = test::joinPath(test::scratchDir(), name);
  platform::removeFile(journalPath(path));
  platform::writeWholeFile(path, readFileBytes(test::sourcePath("resources/mdb2000")));
  return path;
}

// Where row `row`'s fixed field at `fixedOffset` lies on a Jet 4 data page.
std::size_t fixedFieldOffset(std::span<const std::uint8_t> page, int row, std::size_t fixedOffset) {
  const std::size_t entry = kJet4Format.dataRowTableOffset + 2 * row;
  const std::size_t start = (page[entry] | page[entry + 1] << 8) & 0x1FFF;
  return start + kJet4Format.rowColumnCountSize + fixedOffset;
}

// State `s`: every ACE's ACM is s, every object's DateUpdate is s days
// after 2000-01-01, and s pages have been appended. One commit per step.
void writeState(Pager& pager, std::uint32_t s) {
  PageAllocator allocator(pager);
  auto aces = pager.writablePage(kAcesDataPage);
  for (int row = 0; row < 16; ++row) {
    const std::size_t at = fixedFieldOffset(aces, row, 4);
    for (int i = 0; i < 4; ++i) aces[at + i] = static_cast<std::uint8_t>(s >> (8 * i));
  }
  auto objects = pager.writablePage(kObjectsDataPage);
  const double date = 36526.0 + s;
  for (int row = 0; row < 8; ++row) std::memcpy(&objects[fixedFieldOffset(objects, row, 18)], &date, 8);
  auto fresh = pager.writablePage(allocator.allocate());
  fresh[0] = kDataPage;  // an empty data page nobody owns
  fresh[1] = 0x01;
  fresh[2] = static_cast<std::uint8_t>((4096 - 14) & 0xFF);
  fresh[3] = static_cast<std::uint8_t>((4096 - 14) >> 8);
}

// The state the catalogue rows hold, the same on every row, or -1 when
// they are mixed.
int stateSeenByOurReader(const std::string& path, OpenMode mode) {
  auto db = Database::open(path, mode);
  std::set<std::int64_t> acms, days;
  auto aces = db.openCursor("MSysACEs");
  while (aces.next()) acms.insert(aces.values()[2].asInteger());  // ObjectId, SID, ACM, FInheritable
  auto objects = db.openCursor("MSysObjects");
  const auto& columns = objects.definition().columns;
  std::size_t dateUpdate = 0;
  while (dateUpdate < columns.size() && columns[dateUpdate].name != "DateUpdate") ++dateUpdate;
  while (objects.next())
    days.insert(static_cast<std::int64_t>(objects.values().at(dateUpdate).asDateTime().toOleDate()) - 36526);
  if (acms.size() != 1 || days.size() != 1 || *acms.begin() != *days.begin()) return -1;
  return static_cast<int>(*acms.begin());
}

std::uint64_t pageCountSeenByOurReader(const std::string& path) {
  return Database::open(path, OpenMode::ReadOnly).info().pageCount;
}

bool haveMdbtools() { return test::mdbtoolsMissing().empty(); }

// mdbtools' reading of the ACMs: the same value on every row, or -1.
int stateSeenByMdbtools(const std::string& path) {
  bool ok = false;
  const std::string out = test::runCommand("mdb-export -H " + test::shellQuote(path) + " MSysACEs 2>&1", ok);
  if (!ok) return -1;
  std::set<std::string> acms;
  std::size_t start = 0;
  int rows = 0;
  while (start < out.size()) {
    const std::size_t end = out.find('\n', start);
    const std::string line = out.substr(start, end - start);
    // ObjectId,"SID",ACM,FInheritable
    const std::size_t a = line.find(',', line.find('"', line.find('"') + 1));
    const std::size_t b = line.find(',', a + 1);
    acms.insert(line.substr(a + 1, b - a - 1));
    ++rows;
    start = end == std::string::npos ? out.size() : end + 1;
  }
  if (rows != 16 || acms.size() != 1) return -1;
  return std::stoi(*acms.begin());
}

TEST(Transaction, RollbackLeavesTheFileByteIdentical) {
  const std::string path = freshCopy("rollback.mdb");
  const std::string before = readFileBytes(path);
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    writeState(DatabaseInternals::of(db).pager, 7);
    writeState(DatabaseInternals::of(db).pager, 8);
    EXPECT_EQ(DatabaseInternals::of(db).pager.pageCount(), kTemplatePages + 2);
    db.rollback();
    EXPECT_EQ(DatabaseInternals::of(db).pager.pageCount(), kTemplatePages);
    auto aces = db.openCursor("MSysACEs");
    ASSERT_TRUE(aces.next());
    EXPECT_EQ(aces.values()[2].asInteger(), 0x00060000);  // the change is gone for this handle too
  }
  EXPECT_EQ(readFileBytes(path), before);
  EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
}

TEST(Transaction, CommitReachesTheFileAndTheGlobalMap) {
  const std::string path = freshCopy("commit.mdb");
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    writeState(DatabaseInternals::of(db).pager, 3);
    db.commit();
    EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
  }
  EXPECT_EQ(stateSeenByOurReader(path, OpenMode::ReadOnly), 3);
  EXPECT_EQ(pageCountSeenByOurReader(path), kTemplatePages + 1);
  const std::string bytes = readFileBytes(path);
  ASSERT_EQ(bytes.size(), (kTemplatePages + 1) * 4096u);
  // Global map, row 0 at 0xFBB: type, start page, then bit 16 now clear, 17 still set.
  const auto bitmap = reinterpret_cast<const std::uint8_t*>(bytes.data()) + 4096 + 0xFBB + 5;
  EXPECT_EQ(bitmap[2] & 0x01, 0);
  EXPECT_EQ(bitmap[2] & 0x02, 0x02);
  if (haveMdbtools()) {
    EXPECT_EQ(stateSeenByMdbtools(path), 3);
  }
}

TEST(Transaction, ReadOnlyHandlesRefuseToWrite) {
  const std::string path = freshCopy("readonly.mdb");
  auto db = Database::open(path, OpenMode::ReadOnly);
  EXPECT_THROW(db.beginTransaction(), Error);
}

TEST(Transaction, GrowingPastJetsTwoGigabytesIsRefusedAndTheFileKept) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a sparse 2 GB file";
#else
  const std::string path = freshCopy("full.mdb");
  const std::string templateBytes = readFileBytes(path);
  const std::uint64_t limit = 0x80000000ULL;
  platform::File::open(path, platform::File::Mode::ReadWrite).truncate(limit);  // sparse
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    try {
      // Two pages changed, then a new one needed (the sparse pages inside the
      // file still read as free in the global map, so ask the pager itself).
      Pager& pager = DatabaseInternals::of(db).pager;
      pager.writablePage(kAcesDataPage)[0x20] ^= 1;
      pager.writablePage(kObjectsDataPage)[0x20] ^= 1;
      pager.appendPage();
      ADD_FAILURE() << "a page past 2 GB was appended";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("limited to 2 GB"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    db.rollback();
  }
  auto file = platform::File::open(path, platform::File::Mode::ReadOnly);
  EXPECT_EQ(file.size(), limit);
  std::string start(templateBytes.size(), '\0');
  file.readAt(0, start.data(), start.size());
  EXPECT_EQ(start, templateBytes);
  EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
  platform::removeFile(path);
#endif
}

TEST(Transaction, AJournalLeftBehindIsPlayedBack) {
  const std::string path = freshCopy("journal.mdb");
  const std::string committed = readFileBytes(path);
  {
    // A commit cut short after its journal was complete and some pages written.
    JournalImage image;
    image.pageSize = 4096;
    image.originalFileSize = committed.size();
    for (std::uint32_t page : {1u, kAcesDataPage})
      image.originalPages[page].assign(committed.begin() + page * 4096, committed.begin() + (page + 1) * 4096);
    writeJournal(path, image);
    auto file = platform::File::open(path, platform::File::Mode::ReadWrite);
    const std::vector<std::uint8_t> garbage(4096 + 100, 0xEE);
    file.writeAt(kAcesDataPage * 4096, garbage.data(), garbage.size());  // also grows the file
  }
  const std::string torn = readFileBytes(path);
  // Read-only: the committed state, and the file untouched.
  EXPECT_EQ(stateSeenByOurReader(path, OpenMode::ReadOnly), -1);  // template ACMs differ per row
  {
    auto db = Database::open(path, OpenMode::ReadOnly);
    EXPECT_EQ(db.info().pageCount, kTemplatePages);
    auto aces = db.openCursor("MSysACEs");
    int rows = 0;
    while (aces.next()) ++rows;
    EXPECT_EQ(rows, 16);
  }
  EXPECT_EQ(readFileBytes(path), torn);
  // Read-write: played back into the file, journal gone.
  Database::open(path, OpenMode::ReadWrite);
  EXPECT_EQ(readFileBytes(path), committed);
  EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
}

TEST(Transaction, AJournalOfTheFirstKindIsStillPlayedBack) {
  // Written by hand as earlier releases wrote it: mark "FNKJRNL1" and an
  // FNV-1a checksum over the records, byte by byte.
  const std::string path = freshCopy("journal-v1.mdb");
  const std::string committed = readFileBytes(path);
  std::vector<std::uint8_t> records(4);
  records.reserve(4 + 4096);
  records[0] = static_cast<std::uint8_t>(kAcesDataPage);
  records[1] = static_cast<std::uint8_t>(kAcesDataPage >> 8);
  records.insert(records.end(), committed.begin() + kAcesDataPage * 4096, committed.begin() + (kAcesDataPage + 1) * 4096);
  std::uint64_t fnv = 0xcbf29ce484222325ULL;
  for (std::uint8_t b : records) fnv = (fnv ^ b) * 0x100000001b3ULL;
  std::vector<std::uint8_t> journal = {'F', 'N', 'K', 'J', 'R', 'N', 'L', '1'};
  const auto put = [&](std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) journal.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(4096, 4);
  put(1, 4);
  put(committed.size(), 8);
  put(fnv, 8);
  journal.insert(journal.end(), records.begin(), records.end());
  platform::writeWholeFile(journalPath(path), std::string(journal.begin(), journal.end()));
  {
    auto file = platform::File::open(path, platform::File::Mode::ReadWrite);
    const std::vector<std::uint8_t> garbage(4096, 0xEE);
    file.writeAt(kAcesDataPage * 4096, garbage.data(), garbage.size());
  }
  Database::open(path, OpenMode::ReadWrite);
  EXPECT_EQ(readFileBytes(path), committed);
  EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
}

TEST(Transaction, AnIncompleteJournalIsIgnored) {
  const std::string path = freshCopy("incomplete.mdb");
  const std::string committed = readFileBytes(path);
  JournalImage image;
  image.pageSize = 4096;
  image.originalFileSize = 4096;  // would cut the file to one page if it were played back
  image.originalPages[0].assign(4096, 0);
  writeJournal(path, image);
  {  // tear it: one byte of its records changed
    auto journal = platform::File::open(journalPath(path), platform::File::Mode::ReadWrite);
    const std::uint8_t flipped = 1;
    journal.writeAt(40, &flipped, 1);
  }
  EXPECT_FALSE(readJournal(path, 4096).has_value());
  Database::open(path, OpenMode::ReadWrite);
  EXPECT_EQ(readFileBytes(path), committed);
  EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
}

TEST(Transaction, KilledDuringCommitsLeavesExactlyACommittedState) {
#ifdef _WIN32
  GTEST_SKIP() << "killing a child process needs fork";
#else
  std::mt19937 random(20261209);
  int killedMidCommit = 0;  // rounds that left a journal to play back
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string path = freshCopy("killed.mdb");
    {
      auto db = Database::open(path, OpenMode::ReadWrite);  // state 0: commit it first
      db.beginTransaction();
      writeState(DatabaseInternals::of(db).pager, 0);
      db.commit();
    }
    bool killed = false;
    const auto told = test::killWriterAfter(std::uniform_int_distribution<int>(0, 40000)(random), [&](const test::ReportProgress& report) {
      auto db = Database::open(path, OpenMode::ReadWrite);
      for (std::uint32_t s = 1;; ++s) {
        // Tell the parent when each commit starts (2s) and has returned (2s + 1).
        report(2 * s);
        db.beginTransaction();
        writeState(DatabaseInternals::of(db).pager, s);
        db.commit();
        report(2 * s + 1);
      }
    }, killed);
    ASSERT_TRUE(killed) << "the writer stopped by itself";
    std::uint32_t lastStarted = 0, lastDone = 0;
    for (std::uint32_t message : told) (message % 2 ? lastDone : lastStarted) = message / 2;

    const bool journalLeft = readJournal(path, 4096).has_value();
    killedMidCommit += journalLeft ? 1 : 0;
    // Read-only first: the committed state without touching the file.
    const int readOnly = stateSeenByOurReader(path, OpenMode::ReadOnly);
    const int seen = stateSeenByOurReader(path, OpenMode::ReadWrite);
    EXPECT_EQ(readOnly, seen);
    // State 0 appended one page, each later state one more.
    EXPECT_EQ(pageCountSeenByOurReader(path), kTemplatePages + 1 + static_cast<std::uint64_t>(seen));
    EXPECT_FALSE(platform::isRegularFile(journalPath(path)));
    if (journalLeft) {
      // The commit under way had not reached its end: the state before it.
      EXPECT_EQ(seen, static_cast<int>(lastStarted) - 1);
    } else {
      // The last commit that returned, or the one that ended just before the kill.
      EXPECT_TRUE(seen == static_cast<int>(lastDone) || seen == static_cast<int>(lastStarted))
          << "last commit returned " << lastDone << ", last started " << lastStarted << ", file holds " << seen;
    }
    if (haveMdbtools()) {
      EXPECT_EQ(stateSeenByMdbtools(path), seen);
    }
  }
  // Most of the writer's time goes to commits; some kills must land in one.
  EXPECT_GT(killedMidCommit, 0);
  std::printf("%d of 50 kills left a journal to play back\n", killedMidCommit);
#endif
}

}  // namespace
}  // namespace fennick::jet
