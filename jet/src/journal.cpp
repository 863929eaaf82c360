// The journal file: a 32-byte header (completion mark, page size, page
// count, original file size, checksum of the records), then one record per
// page: its number (u32) and its original bytes. Relies on platform::File.
#include "journal.h"

#include <array>
#include <cstring>

namespace fennick::jet {
namespace {

// Journals of the first kind carry a byte-wise checksum, still read so that
// a commit cut short under an earlier release is played back all the same.
constexpr std::array<std::uint8_t, 8> kCompleteMarkV1 = {'F', 'N', 'K', 'J', 'R', 'N', 'L', '1'};
constexpr std::array<std::uint8_t, 8> kCompleteMark = {'F', 'N', 'K', 'J', 'R', 'N', 'L', '2'};
constexpr std::size_t kHeaderSize = 32;
// Records go out in writes of about this size.
constexpr std::size_t kWriteChunk = 1 << 20;

void put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put64(std::uint8_t* at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t get32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | at[i];
  return v;
}
std::uint64_t get64(const std::uint8_t* at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | at[i];
  return v;
}

// A checksum over the records, so a torn journal is never taken for
// complete. Each record is folded in four independent lanes of 64-bit
// words (every step a bijection, so any changed word changes its lane),
// then mixed into the running value.
class Checksum {
 public:
  explicit Checksum(bool byteWise = false) : byteWise_(byteWise) {}

  void addRecord(const std::uint8_t* record, std::size_t size) {
    if (byteWise_) {
      for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ record[i]) * kPrime;
      return;
    }
    std::array<std::uint64_t, 4> lanes = {0x9e3779b97f4a7c15ULL, 0xc2b2ae3d27d4eb4fULL, 0x165667b19e3779f9ULL,
                                          0x27d4eb2f165667c5ULL};
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32)
      for (std::size_t lane = 0; lane < 4; ++lane) lanes[lane] = step(lanes[lane], get64(record + i + 8 * lane));
    for (; i < size; ++i) lanes[0] = step(lanes[0], record[i]);
    for (std::uint64_t lane : lanes) value_ = step(value_, lane);
  }
  std::uint64_t value() const { return value_; }

 private:
  static constexpr std::uint64_t kPrime = 0x100000001b3ULL;
  static std::uint64_t step(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * 0x9fb21c651e98df25ULL;
    return h ^ (h >> 29);
  }
  bool byteWise_;
  std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

}  // namespace

std::string journalPath(const std::string& databasePath) { return databasePath + ".fjournal"; }

void writeJournal(const std::string& databasePath, const JournalImage& image) {
  platform::File journal = platform::File::open(journalPath(databasePath), platform::File::Mode::CreateExclusive);
  Checksum checksum;
  std::uint64_t offset = kHeaderSize;
  const std::size_t recordSize = 4 + image.pageSize;
  std::vector<std::uint8_t> chunk;
  chunk.reserve(kWriteChunk + recordSize);
  const auto writeChunk = [&] {
    if (chunk.empty()) return;
    journal.writeAt(offset, chunk.data(), chunk.size());
    offset += chunk.size();
    chunk.clear();
  };
  for (const auto& [number, bytes] : image.originalPages) {
    const std::size_t at = chunk.size();
    chunk.resize(at + recordSize);
    put32(chunk.data() + at, number);
    std::memcpy(chunk.data() + at + 4, bytes.data(), image.pageSize);
    checksum.addRecord(chunk.data() + at, recordSize);
    if (chunk.size() >= kWriteChunk) writeChunk();
  }
  writeChunk();
  // The mark goes out with the records, under one sync: the database is
  // written only after that sync, and a journal whose records did not all
  // reach the disk fails its length or checksum test and counts as
  // incomplete. The header is one sector, written whole or not at all.
  std::array<std::uint8_t, kHeaderSize> header{};
  std::memcpy(header.data(), kCompleteMark.data(), kCompleteMark.size());
  put32(header.data() + 8, image.pageSize);
  put32(header.data() + 12, static_cast<std::uint32_t>(image.originalPages.size()));
  put64(header.data() + 16, image.originalFileSize);
  put64(header.data() + 24, checksum.value());
  journal.writeAt(0, header.data(), header.size());
  journal.sync();
}

void discardJournal(const std::string& databasePath) {
  const std::string path = journalPath(databasePath);
  if (!platform::isRegularFile(path)) return;
  {
    platform::File journal = platform::File::open(path, platform::File::Mode::ReadWrite);
    const std::array<std::uint8_t, 8> cleared{};
    journal.writeAt(0, cleared.data(), cleared.size());
    journal.sync();
  }
  platform::removeFile(path);
}

std::optional<JournalImage> readJournal(const std::string& databasePath, std::uint32_t pageSize) {
  const std::string path = journalPath(databasePath);
  if (!platform::isRegularFile(path)) return std::nullopt;
  const platform::File journal = platform::File::open(path, platform::File::Mode::ReadOnly);
  std::array<std::uint8_t, kHeaderSize> header{};
  if (journal.readAt(0, header.data(), header.size()) != header.size()) return std::nullopt;
  const bool firstKind = std::memcmp(header.data(), kCompleteMarkV1.data(), kCompleteMarkV1.size()) == 0;
  if (!firstKind && std::memcmp(header.data(), kCompleteMark.data(), kCompleteMark.size()) != 0) return std::nullopt;
  JournalImage image;
  image.pageSize = get32(header.data() + 8);
  const std::uint32_t count = get32(header.data() + 12);
  image.originalFileSize = get64(header.data() + 16);
  const std::uint64_t expected = get64(header.data() + 24);
  if (image.pageSize != pageSize) return std::nullopt;
  // The count must match the file's length before anything is allocated for it.
  if (journal.size() != kHeaderSize + std::uint64_t(count) * (4 + pageSize)) return std::nullopt;
  Checksum checksum(firstKind);
  std::vector<std::uint8_t> record(4 + pageSize);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (journal.readAt(kHeaderSize + std::uint64_t(i) * record.size(), record.data(), record.size()) != record.size())
      return std::nullopt;
    checksum.addRecord(record.data(), record.size());
    const std::uint32_t number = get32(record.data());
    if (std::uint64_t(number) * pageSize >= image.originalFileSize) return std::nullopt;
    image.originalPages[number].assign(record.begin() + 4, record.end());
  }
  if (checksum.value() != expected) return std::nullopt;
  return image;
}

void playBackJournal(platform::File& database, const JournalImage& image) {
  for (const auto& [number, bytes] : image.originalPages)
    database.writeAt(std::uint64_t(number) * image.pageSize, bytes.data(), bytes.size());
  database.truncate(image.originalFileSize);
  database.sync();
}

}  // namespace fennick::jet
