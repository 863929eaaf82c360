// Single-leaf index pages: header, entry-end bitmap, entries. Offsets of
// the bitmap and of the first entry per version (jet/docs/writing.md 2.3).
#include "index_leaf_writer.h"

#include <algorithm>

#include "bytes.h"
#include "jet/error.h"

namespace fennick::jet {
namespace {

struct LeafLayout {
  std::size_t bitmapOffset;
  std::size_t firstEntryOffset;
};

LeafLayout leafLayout(const Format& format) {
  return format.version == 4 ? LeafLayout{0x1B, 0x1E0} : LeafLayout{0x16, 0xF8};
}

void checkSingleLeaf(Pager& pager, std::span<const std::uint8_t> page, const std::string& indexName) {
  ByteReader r(page, pager.path(), "index page");
  if (r.u8(0) != kIndexLeafPage || r.u32(8) != 0 || r.u32(12) != 0 || r.u16(20) != 0)
    throw Error("The index \"" + indexName + "\" of \"" + pager.path() +
                "\" spans more than one page or uses prefix compression, which is not written yet.");
}

}  // namespace

std::vector<std::vector<std::uint8_t>> leafEntries(Pager& pager, std::uint32_t leafPage, const std::string& indexName) {
  const Format& format = pager.format();
  const LeafLayout layout = leafLayout(format);
  const PageRef page = pager.page(leafPage);
  checkSingleLeaf(pager, page->bytes(), indexName);
  const auto bytes = page->bytes();
  std::vector<std::vector<std::uint8_t>> entries;
  std::size_t start = layout.firstEntryOffset;
  for (std::size_t offset = layout.firstEntryOffset + 1; offset <= format.pageSize; ++offset) {
    const std::size_t bit = offset - layout.firstEntryOffset;
    const std::size_t maskByte = layout.bitmapOffset + bit / 8;
    if (maskByte >= layout.firstEntryOffset) break;
    if (bytes[maskByte] & (1u << (bit % 8))) {
      entries.emplace_back(bytes.begin() + start, bytes.begin() + offset);
      start = offset;
    }
  }
  return entries;
}

namespace {

void appendPointer(std::vector<std::uint8_t>& key, std::uint32_t dataPage, std::uint8_t row) {
  key.push_back(static_cast<std::uint8_t>(dataPage >> 16));
  key.push_back(static_cast<std::uint8_t>(dataPage >> 8));
  key.push_back(static_cast<std::uint8_t>(dataPage));
  key.push_back(row);
}

// Rewrites the leaf with `entries`, in order: bitmap and free space follow.
void writeLeaf(Pager& pager, std::uint32_t leafPage, const std::vector<std::vector<std::uint8_t>>& entries,
               const std::string& indexName) {
  const Format& format = pager.format();
  const LeafLayout layout = leafLayout(format);
  std::size_t total = 0;
  for (const auto& e : entries) total += e.size();
  if (layout.firstEntryOffset + total > format.pageSize)
    throw Error("The index \"" + indexName + "\" of \"" + pager.path() + "\" has filled its page; larger indexes are not written yet.");

  auto page = pager.writablePage(leafPage);
  std::fill(page.begin() + layout.bitmapOffset, page.end(), 0);
  std::size_t offset = layout.firstEntryOffset;
  for (const auto& e : entries) {
    std::copy(e.begin(), e.end(), page.begin() + offset);
    offset += e.size();
    const std::size_t bit = offset - layout.firstEntryOffset;
    page[layout.bitmapOffset + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
  }
  const auto free = static_cast<std::uint16_t>(format.pageSize - offset);
  page[2] = static_cast<std::uint8_t>(free);
  page[3] = static_cast<std::uint8_t>(free >> 8);
}

}  // namespace

void addLeafEntry(Pager& pager, std::uint32_t leafPage, std::vector<std::uint8_t> key, std::uint32_t dataPage,
                  std::uint8_t row, const std::string& indexName) {
  auto entries = leafEntries(pager, leafPage, indexName);
  appendPointer(key, dataPage, row);
  entries.insert(std::upper_bound(entries.begin(), entries.end(), key), std::move(key));
  writeLeaf(pager, leafPage, entries, indexName);
}

bool removeLeafEntry(Pager& pager, std::uint32_t leafPage, std::vector<std::uint8_t> key, std::uint32_t dataPage,
                     std::uint8_t row, const std::string& indexName) {
  auto entries = leafEntries(pager, leafPage, indexName);
  appendPointer(key, dataPage, row);
  const auto found = std::find(entries.begin(), entries.end(), key);
  if (found == entries.end()) return false;
  entries.erase(found);
  writeLeaf(pager, leafPage, entries, indexName);
  return true;
}

}  // namespace fennick::jet
