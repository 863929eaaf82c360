// Usage-map bits and rows. Relies on data_page.h to find a row, on
// data_page_writer.h to add one, on page_allocator.h for map pages.
#include "usage_map_writer.h"

#include <algorithm>
#include <vector>

#include "bytes.h"
#include "data_page.h"
#include "data_page_writer.h"
#include "jet/error.h"

namespace fennick::jet {
namespace {

constexpr std::uint8_t kInlineMap = 0;
constexpr std::uint8_t kReferenceMap = 1;
constexpr std::size_t kInlineHeader = 5;  // type byte, start page

std::span<std::uint8_t> mapRow(Pager& pager, std::uint32_t rowPointer, const std::string& owner) {
  const RowPointer where = RowPointer::decode(rowPointer);
  const DataPageView view(pager.page(where.page, kDataPage, "usage map page"), pager.format(), pager.path());
  if (where.row >= view.rowCount()) throwDamaged(pager.path(), "the usage map of " + owner + " names a missing row");
  const RowSlot slot = view.slot(where.row);
  if (std::size_t(slot.end - slot.start) < kInlineHeader)
    throwDamaged(pager.path(), "the usage map of " + owner + " is too short");
  return pager.writablePage(where.page).subspan(slot.start, slot.end - slot.start);
}

std::uint32_t load32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}
void store32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t pagesPerMapPage(const Format& f) { return std::uint64_t(f.pageSize - f.usageMapPageBitmapOffset) * 8; }

// The bit of `page` in a reference map, its map page created when `create`.
// Returns false when the map has no page for that range (and `create` is off).
bool referenceBit(Pager& pager, std::span<std::uint8_t> row, std::uint32_t page, bool create, bool set,
                  const std::string& owner) {
  const Format& f = pager.format();
  const std::uint64_t slot = page / pagesPerMapPage(f);
  if (1 + 4 * (slot + 1) > row.size())
    throw Error("The pages of " + owner + " in \"" + pager.path() + "\" reach past what its usage map can list.");
  std::uint32_t mapPage = load32(row, 1 + 4 * slot);
  if (mapPage == 0) {
    if (!create) return false;
    PageAllocator allocator(pager);
    mapPage = allocator.allocate();
    auto bytes = pager.writablePage(mapPage);
    bytes[0] = kUsageMapPage;
    bytes[1] = 0x01;
    store32(row, 1 + 4 * slot, mapPage);
  }
  pager.page(mapPage, kUsageMapPage, "usage map page");
  const std::uint64_t bit = page % pagesPerMapPage(f);
  std::uint8_t& byte = pager.writablePage(mapPage)[f.usageMapPageBitmapOffset + bit / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  byte = set ? byte | mask : byte & ~mask;
  return true;
}

// Rewrites an inline map row as a reference map holding the same pages.
void becomeReferenceMap(Pager& pager, std::uint32_t rowPointer, const std::string& owner) {
  auto row = mapRow(pager, rowPointer, owner);
  const std::uint32_t start = load32(row, 1);
  std::vector<std::uint32_t> pages;
  for (std::size_t i = kInlineHeader; i < row.size(); ++i)
    for (int b = 0; b < 8; ++b)
      if (row[i] >> b & 1) pages.push_back(start + std::uint32_t((i - kInlineHeader) * 8 + b));
  std::fill(row.begin(), row.end(), 0);
  row[0] = kReferenceMap;
  for (std::uint32_t p : pages) {
    row = mapRow(pager, rowPointer, owner);  // allocating a map page may not move it, but stay safe
    referenceBit(pager, row, p, true, true, owner);
  }
}

void changePage(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, bool set, const std::string& owner) {
  auto bytes = mapRow(pager, rowPointer, owner);
  if (bytes[0] == kReferenceMap) {
    referenceBit(pager, bytes, page, set, set, owner);
    return;
  }
  if (bytes[0] != kInlineMap)
    throwDamaged(pager.path(), "the usage map of " + owner + " has unknown type " + std::to_string(bytes[0]));
  std::uint32_t start = load32(bytes, 1);
  const std::uint64_t covered = std::uint64_t(bytes.size() - kInlineHeader) * 8;
  if (page < start || page - start >= covered) {
    if (!set) return;
    const bool empty = std::all_of(bytes.begin() + kInlineHeader, bytes.end(), [](std::uint8_t b) { return b == 0; });
    if (!empty) {
      becomeReferenceMap(pager, rowPointer, owner);
      referenceBit(pager, mapRow(pager, rowPointer, owner), page, true, true, owner);
      return;
    }
    start = page - page % 8;  // an empty map may start anywhere; Jet moves it forward the same way
    store32(bytes, 1, start);
  }
  const std::uint32_t bit = page - start;
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  std::uint8_t& byte = bytes[kInlineHeader + bit / 8];
  byte = set ? byte | mask : byte & ~mask;
}

}  // namespace

void markPageInMap(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, const std::string& owner) {
  changePage(pager, rowPointer, page, true, owner);
}

void clearPageInMap(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, const std::string& owner) {
  changePage(pager, rowPointer, page, false, owner);
}

std::uint32_t addMapRow(Pager& pager, PageAllocator& allocator, std::uint32_t besideRowPointer) {
  const Format& format = pager.format();
  const std::vector<std::uint8_t> row(kInlineHeader + format.usageMapBitmapBytes, 0);
  std::uint32_t page = RowPointer::decode(besideRowPointer).page;
  pager.page(page, kDataPage, "usage map page");
  if (auto number = addRowToPage(pager.writablePage(page), format, row, pager.path())) return page << 8 | *number;
  page = allocator.allocate();
  formatDataPage(pager.writablePage(page), format, 0);  // map pages belong to no table
  return page << 8 | *addRowToPage(pager.writablePage(page), format, row, pager.path());
}

}  // namespace fennick::jet
