// Data-page row insertion. Relies on format.h and bytes.h.
#include "data_page_writer.h"

#include <algorithm>
#include <cstring>

#include "bytes.h"

namespace fennick::jet {
namespace {

constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
// Access marks a deleted row with both flag bits (seen in delTestV2000.mdb),
// which every reader takes for deleted whichever bit it tests.
constexpr std::uint16_t kDeletedFlags = 0xC000;
constexpr std::uint16_t kMaxRowsPerPage = 255;  // a row pointer keeps the row number in one byte

void store16(std::span<std::uint8_t> page, std::size_t at, std::uint16_t v) {
  page[at] = static_cast<std::uint8_t>(v);
  page[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

void formatDataPage(std::span<std::uint8_t> page, const Format& format, std::uint32_t owner) {
  std::fill(page.begin(), page.end(), 0);
  page[0] = kDataPage;
  page[1] = 0x01;
  store16(page, 2, static_cast<std::uint16_t>(format.pageSize - format.dataRowTableOffset));
  for (int i = 0; i < 4; ++i) page[format.dataOwnerOffset + i] = static_cast<std::uint8_t>(owner >> (8 * i));
}

std::optional<std::uint16_t> addRowToPage(std::span<std::uint8_t> page, const Format& format,
                                          std::span<const std::uint8_t> row, const std::string& path) {
  ByteReader r(page, path, "data page");
  const std::uint16_t count = r.u16(format.dataRowCountOffset);
  const std::size_t tableEnd = format.dataRowTableOffset + 2 * std::size_t{count};
  if (tableEnd > format.pageSize) throwDamaged(path, "a data page's row table runs past the page");
  std::size_t lowest = format.pageSize;
  std::size_t used = 0;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::size_t start = r.u16(format.dataRowTableOffset + 2 * i) & kRowOffsetMask;
    if (start < tableEnd || start > lowest) throwDamaged(path, "a data page's rows are not stored downwards");
    used += lowest - start;
    lowest = start;
  }
  if (count >= kMaxRowsPerPage || row.empty() || tableEnd + 2 + row.size() > lowest) return std::nullopt;
  const std::size_t start = lowest - row.size();
  std::memcpy(page.data() + start, row.data(), row.size());
  store16(page, format.dataRowTableOffset + 2 * count, static_cast<std::uint16_t>(start));
  store16(page, format.dataRowCountOffset, static_cast<std::uint16_t>(count + 1));
  store16(page, 2, static_cast<std::uint16_t>(format.pageSize - (tableEnd + 2) - used - row.size()));
  return count;
}

void markRowDeleted(std::span<std::uint8_t> page, const Format& format, std::uint16_t row, const std::string& path) {
  ByteReader r(page, path, "data page");
  if (row >= r.u16(format.dataRowCountOffset)) throwDamaged(path, "a row to delete is not in its page's row table");
  const std::size_t at = format.dataRowTableOffset + 2 * std::size_t{row};
  store16(page, at, static_cast<std::uint16_t>(r.u16(at) | kDeletedFlags));
}

}  // namespace fennick::jet
