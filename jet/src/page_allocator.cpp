// The global usage map's bits. Relies on pager.h and the data-page row table
// offsets of format.h; every offset read from page 1 is checked against it.
#include "page_allocator.h"

#include "bytes.h"

namespace fennick::jet {
namespace {

constexpr std::uint32_t kGlobalMapPage = 1;
constexpr std::uint16_t kRowOffsetMask = 0x1FFF;

}  // namespace

bool PageAllocator::locate(std::uint32_t page, MapBit& bit) {
  const Format& f = pager_->format();
  const PageRef map = pager_->page(kGlobalMapPage, kDataPage, "global usage map");
  ByteReader r(map->bytes(), pager_->path(), "global usage map");
  if (r.u16(f.dataRowCountOffset) < 1) throwDamaged(pager_->path(), "the global usage map has no rows");
  const std::size_t start = r.u16(f.dataRowTableOffset) & kRowOffsetMask;
  const std::size_t end = f.pageSize;  // row 0 runs to the end of the page
  if (start + 5 > end) throwDamaged(pager_->path(), "the global usage map's first row lies outside its page");
  if (r.u8(start) != 0) throwDamaged(pager_->path(), "the global usage map is not an inline bitmap");
  const std::uint32_t first = r.u32(start + 1);
  const std::uint64_t covered = std::uint64_t(end - start - 5) * 8;
  if (page < first || page - first >= covered) return false;
  const std::uint32_t index = page - first;
  bit = {start + 5 + index / 8, static_cast<std::uint8_t>(1u << (index % 8))};
  return true;
}

std::uint32_t PageAllocator::allocate() {
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
