// One index page in memory: a leaf (0x04) or intermediate (0x03) page's
// links and entries, decoded from and encoded to the page bytes. Entries
// are held whole (the shared prefix the page leaves out put back) in one
// buffer. A leaf entry is the key and a 4-byte data pointer (3-byte page
// big-endian, row); an intermediate entry is the last leaf entry of a
// child followed by the child's page number (4 bytes big-endian). Relies on
// format.h for the page layout.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format.h"

namespace fennick::jet {

constexpr std::size_t kIndexPointerSize = 4;  // data pointer, and child page pointer

struct IndexPage {
  bool leaf = true;
  std::uint32_t owner = 0;  // the table definition page
  std::uint32_t prev = 0, next = 0, tail = 0;
  // Whether a leaf leaves out the prefix its entries share. Access does so
  // on the pages a split fills, not on a page entries were only added to;
  // a page keeps what it was given.
  bool compressed = false;
  std::vector<std::uint8_t> bytes;  // the entries back to back
  std::vector<std::uint32_t> ends;  // entry i is bytes[end(i-1), ends[i])

  std::size_t size() const { return ends.size(); }
  std::size_t begin(std::size_t i) const { return i == 0 ? 0 : ends[i - 1]; }
  std::span<const std::uint8_t> entry(std::size_t i) const {
    return std::span(bytes).subspan(begin(i), ends[i] - begin(i));
  }
  // An intermediate entry without its child pointer: the child's last entry.
  std::span<const std::uint8_t> separator(std::size_t i) const { return entry(i).first(entry(i).size() - kIndexPointerSize); }
  std::uint32_t child(std::size_t i) const;

  void insert(std::size_t at, std::span<const std::uint8_t> entry);
  void erase(std::size_t at);
  void replace(std::size_t at, std::span<const std::uint8_t> entry);
  // Entries [from, to) as a page of the same kind.
  IndexPage slice(std::size_t from, std::size_t to) const;
};

// Decodes an index page; throws the damaged-file error (naming `path` and
// `what`, e.g. "index \"PrimaryKey\" of table \"Orders\"") on a wrong page
// type or entries that do not add up.
IndexPage decodeIndexPage(const Format& format, std::span<const std::uint8_t> page, const std::string& path,
                          const std::string& what, std::uint32_t number);

// Bytes the entries need on a page: compressed leaves leave out the prefix
// all their entries share (after the first); intermediate pages never do.
std::size_t encodedIndexSize(const IndexPage& page, std::size_t from, std::size_t to);
inline std::size_t indexPageCapacity(const Format& format) { return format.pageSize - format.indexFirstEntryOffset; }

// Writes the page image; the caller has made sure it fits.
void encodeIndexPage(const Format& format, const IndexPage& page, std::span<std::uint8_t> out);

// How many leading bytes a and b share, looking at no more than `limit`.
std::size_t sharedPrefix(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                         std::size_t limit = SIZE_MAX);

// The entry's child page pointer, or data pointer, as stored.
std::uint32_t loadBigEndian32(std::span<const std::uint8_t> bytes);
void appendDataPointer(std::vector<std::uint8_t>& entry, std::uint32_t page, std::uint8_t row);
void storeDataPointer(std::uint8_t* at, std::uint32_t page, std::uint8_t row);  // kIndexPointerSize bytes

}  // namespace fennick::jet
