// The journal file: a 32-byte header (completion mark, page size, page
// count, original file size, checksum of the records), then one record per
// page: its number (u32) and its original bytes. Relies on platform::File.
#include "journal.h"

#include <array>
#include <cstring>

namespace fennick::jet {
namespace {

constexpr std::array<std::uint8_t, 8> kCompleteMark = {'F', 'N', 'K', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 32;

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

// FNV-1a over the records, so a torn journal is never taken for complete.
struct Checksum {
  std::uint64_t value = 0xcbf29ce484222325ULL;
  void add(const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 0x100000001b3ULL;
  }
};

}  // namespace

std::string journalPath(const std::string& databasePath) { return databasePath + ".fjournal"; }

void writeJournal(const std::string& databasePath, const JournalImage& image) {
  platform::File journal = platform::File::open(journalPath(databasePath), platform::File::Mode::CreateExclusive);
  Checksum checksum;
  std::uint64_t offset = kHeaderSize;
  std::vector<std::uint8_t> record(4 + image.pageSize);
  for (const auto& [number, bytes] : image.originalPages) {
    put32(record.data(), number);
    std::memcpy(record.data() + 4, bytes.data(), image.pageSize);
    checksum.add(record.data(), record.size());
    journal.writeAt(offset, record.data(), record.size());
    offset += record.size();
  }
  // The mark goes out with the records, under one sync: the database is
  // written only after that sync, and a journal whose records did not all
  // reach the disk fails its length or checksum test and counts as
  // incomplete. The header is one sector, written whole or not at all.
  std::array<std::uint8_t, kHeaderSize> header{};
  std::memcpy(header.data(), kCompleteMark.data(), kCompleteMark.size());
  put32(header.data() + 8, image.pageSize);
  put32(header.data() + 12, static_cast<std::uint32_t>(image.originalPages.size()));
  put64(header.data() + 16, image.originalFileSize);
  put64(header.data() + 24, checksum.value);
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
  if (std::memcmp(header.data(), kCompleteMark.data(), kCompleteMark.size()) != 0) return std::nullopt;
  JournalImage image;
  image.pageSize = get32(header.data() + 8);
  const std::uint32_t count = get32(header.data() + 12);
  image.originalFileSize = get64(header.data() + 16);
  const std::uint64_t expected = get64(header.data() + 24);
  if (image.pageSize != pageSize) return std::nullopt;
  // The count must match the file's length before anything is allocated for it.
  if (journal.size() != kHeaderSize + std::uint64_t(count) * (4 + pageSize)) return std::nullopt;
  Checksum checksum;
  std::vector<std::uint8_t> record(4 + pageSize);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (journal.readAt(kHeaderSize + std::uint64_t(i) * record.size(), record.data(), record.size()) != record.size())
      return std::nullopt;
    checksum.add(record.data(), record.size());
    const std::uint32_t number = get32(record.data());
    if (std::uint64_t(number) * pageSize >= image.originalFileSize) return std::nullopt;
    image.originalPages[number].assign(record.begin() + 4, record.end());
  }
  if (checksum.value != expected) return std::nullopt;
  return image;
}

void playBackJournal(platform::File& database, const JournalImage& image) {
  for (const auto& [number, bytes] : image.originalPages)
    database.writeAt(std::uint64_t(number) * image.pageSize, bytes.data(), bytes.size());
  database.truncate(image.originalFileSize);
  database.sync();
}

}  // namespace fennick::jet
