// The global usage map's bits. Relies on pager.h and the data-page row table
// offsets of format.h; every offset read from page 1 is checked against it.
#include "page_allocator.h"

#include <algorithm>

#include "bytes.h"

namespace fennick::jet {
namespace {

constexpr std::uint32_t kGlobalMapPage = 1;
constexpr std::uint16_t kRowOffsetMask = 0x1FFF;

}  // namespace

PageAllocator::Window PageAllocator::window() {
  const Format& f = pager_->format();
  const PageRef map = pager_->page(kGlobalMapPage, kDataPage, "global usage map");
  ByteReader r(map->bytes(), pager_->path(), "global usage map");
  if (r.u16(f.dataRowCountOffset) < 1) throwDamaged(pager_->path(), "the global usage map has no rows");
  const std::size_t start = r.u16(f.dataRowTableOffset) & kRowOffsetMask;
  const std::size_t end = f.pageSize;  // row 0 runs to the end of the page
  if (start + 5 > end) throwDamaged(pager_->path(), "the global usage map's first row lies outside its page");
  if (r.u8(start) != 0) throwDamaged(pager_->path(), "the global usage map is not an inline bitmap");
  return {start + 5, r.u32(start + 1), std::uint64_t(end - start - 5) * 8};
}

bool PageAllocator::locate(std::uint32_t page, MapBit& bit) {
  const Window w = window();
  if (page < w.firstPage || page - w.firstPage >= w.pages) return false;
  const std::uint32_t index = page - w.firstPage;
  bit = {w.bitmapOffset + index / 8, static_cast<std::uint8_t>(1u << (index % 8))};
  return true;
}

std::optional<std::uint32_t> PageAllocator::firstFreePage() {
  const Window w = window();
  const auto bytes = pager_->page(kGlobalMapPage)->bytes();
  const std::uint64_t end = pager_->pageCount();
  for (std::size_t at = w.bitmapOffset; at < bytes.size(); ++at) {
    if (bytes[at] == 0) continue;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (!(bytes[at] & (1u << bit))) continue;
      const std::uint64_t page = w.firstPage + std::uint64_t(at - w.bitmapOffset) * 8 + bit;
      if (page >= end) return std::nullopt;  // from here on the map marks the file's future pages
      if (page > kGlobalMapPage) return static_cast<std::uint32_t>(page);
    }
  }
  return std::nullopt;
}

std::uint32_t PageAllocator::allocate() {
  // Pages a dropped table gave back are used again before the file grows.
  if (const auto reused = firstFreePage()) {
    auto bytes = pager_->writablePage(*reused);
    std::fill(bytes.begin(), bytes.end(), 0);
    MapBit bit{};
    locate(*reused, bit);
    pager_->writablePage(kGlobalMapPage)[bit.byteOffset] &= static_cast<std::uint8_t>(~bit.mask);
    return *reused;
  }
  const std::uint32_t page = pager_->appendPage();
  MapBit bit{};
  if (locate(page, bit)) pager_->writablePage(kGlobalMapPage)[bit.byteOffset] &= static_cast<std::uint8_t>(~bit.mask);
  return page;
}

void PageAllocator::release(std::uint32_t page) {
  if (page <= kGlobalMapPage || page >= pager_->pageCount())
    throw Error("Page " + std::to_string(page) + " of \"" + pager_->path() + "\" cannot be released.");
  MapBit bit{};
  if (locate(page, bit)) pager_->writablePage(kGlobalMapPage)[bit.byteOffset] |= bit.mask;
}

bool PageAllocator::isFree(std::uint32_t page) {
  MapBit bit{};
  return locate(page, bit) && (pager_->page(kGlobalMapPage)->bytes()[bit.byteOffset] & bit.mask) != 0;
}

}  // namespace fennick::jet
