// Data pages, usage-map rows and index leaf pages as bytes. Relies on the
// reader's format descriptors; the leaf-page layout (entry-start bitmap,
// first entry offset) is only written, never read, so it lives here.
#include "page_images.h"

#include <algorithm>
#include <stdexcept>

namespace fennick::templates {
namespace {

struct LeafLayout {
  std::size_t bitmapOffset;
  std::size_t firstEntryOffset;
};

LeafLayout leafLayout(const jet::Format& format) {
  if (format.version == 4) return {0x1B, 0x1E0};
  return {0x16, 0xF8};
}

}  // namespace

void putU8(std::span<std::uint8_t> out, std::size_t offset, std::uint8_t value) {
  out.subspan(offset, 1)[0] = value;
}

void putU16(std::span<std::uint8_t> out, std::size_t offset, std::uint16_t value) {
  auto at = out.subspan(offset, 2);
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value) {
  auto at = out.subspan(offset, 4);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putBytes(std::span<std::uint8_t> out, std::size_t offset, std::span<const std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), out.subspan(offset, bytes.size()).begin());
}

void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Page dataPage(const jet::Format& format, std::uint32_t owner,
              const std::vector<std::vector<std::uint8_t>>& rows) {
  Page page(format.pageSize, 0);
  std::size_t used = format.dataRowTableOffset + 2 * rows.size();
  for (const auto& row : rows) used += row.size();
  if (used > format.pageSize) throw std::length_error("the rows do not fit on one data page");
  putU8(page, 0, jet::kDataPage);
  putU8(page, 1, 0x01);
  putU16(page, 2, static_cast<std::uint16_t>(format.pageSize - used));
  putU32(page, format.dataOwnerOffset, owner);
  putU16(page, format.dataRowCountOffset, static_cast<std::uint16_t>(rows.size()));
  std::size_t end = format.pageSize;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    end -= rows[i].size();
    putBytes(page, end, rows[i]);
    putU16(page, format.dataRowTableOffset + 2 * i, static_cast<std::uint16_t>(end));
  }
  return page;
}

std::uint32_t usageMapRowPages(const jet::Format& format) {
  // 64 bitmap bytes in Jet 4, 128 in Jet 3.
  return format.version == 4 ? 64 * 8 : 128 * 8;
}

std::vector<std::uint8_t> usageMapRow(const jet::Format& format, const std::vector<std::uint32_t>& pages) {
  const std::uint32_t covered = usageMapRowPages(format);
  std::vector<std::uint8_t> row(5 + covered / 8, 0);  // map type 0, start page 0, bitmap
  for (std::uint32_t page : pages) {
    if (page >= covered) throw std::length_error("a page lies beyond the reach of its usage map");
    row[5 + page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
  }
  return row;
}

void appendEntryPointer(std::vector<std::uint8_t>& entry, std::uint32_t page, std::uint8_t row) {
  entry.push_back(static_cast<std::uint8_t>(page >> 16));
  entry.push_back(static_cast<std::uint8_t>(page >> 8));
  entry.push_back(static_cast<std::uint8_t>(page));
  entry.push_back(row);
}

Page leafPage(const jet::Format& format, std::uint32_t owner,
              std::vector<std::vector<std::uint8_t>> entries) {
  const LeafLayout layout = leafLayout(format);
  std::sort(entries.begin(), entries.end());
  Page page(format.pageSize, 0);
  putU8(page, 0, jet::kIndexLeafPage);
  putU8(page, 1, 0x01);
  putU32(page, 4, owner);
  // Previous, next and tail leaf stay 0: the index has this page only, and
  // no prefix compression is used.
  std::size_t offset = layout.firstEntryOffset;
  for (const auto& entry : entries) {
    if (offset + entry.size() > format.pageSize) throw std::length_error("the index entries do not fit on one leaf page");
    putBytes(page, offset, entry);
    offset += entry.size();
    const std::size_t bit = offset - layout.firstEntryOffset;  // an entry ends here
    page[layout.bitmapOffset + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
  }
  putU16(page, 2, static_cast<std::uint16_t>(format.pageSize - offset));
  return page;
}

}  // namespace fennick::templates
