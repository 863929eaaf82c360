// Usage-map decoding.
#include "usage_map.h"

#include "bytes.h"
#include "data_page.h"

namespace fennick::jet {

UsageMapCursor::UsageMapCursor(Pager& pager, std::uint32_t rowPointer, std::string owner)
    : pager_(&pager), owner_(std::move(owner)) {
  const RowPointer where = RowPointer::decode(rowPointer);
  DataPageView page(pager.page(where.page), pager.format(), pager.path());
  if (where.row >= page.rowCount())
    throwDamaged(pager.path(), "the page map of " + owner_ + " points to row " + std::to_string(where.row) +
                                   " of page " + std::to_string(where.page) + ", which has only " +
                                   std::to_string(page.rowCount()) + " rows");
  const auto row = page.rowBytes(page.slot(where.row));
  ByteReader r(row, pager.path(), "page map");
  type_ = r.u8(0);
  if (type_ == 0) {
    startPage_ = r.u32(1);
    map_.assign(row.begin() + 5, row.end());
    bitCount_ = std::uint64_t(map_.size()) * 8;
  } else if (type_ == 1) {
    map_.assign(row.begin() + 1, row.end());
    bitsPerMapPage_ = std::uint64_t(pager.format().pageSize - 4) * 8;
    bitCount_ = (map_.size() / 4) * bitsPerMapPage_;
  } else {
    throwDamaged(pager.path(), "the page map of " + owner_ + " has unknown type " + std::to_string(type_));
  }
}

std::uint8_t UsageMapCursor::mapByte(std::uint64_t index) {
  if (type_ == 0) return map_[index / 8];
  const std::uint64_t mapIndex = index / bitsPerMapPage_;
  if (mapIndex != mapPageIndex_) {
    mapPageIndex_ = mapIndex;
    const std::uint32_t number = loadU32(&map_[mapIndex * 4]);
    mapPage_ = number == 0 ? nullptr : pager_->page(number, kUsageMapPage, "page map page");
  }
  if (!mapPage_) return 0;  // a missing map page: nothing in its range is owned
  return mapPage_->bytes()[4 + (index % bitsPerMapPage_) / 8];
}

std::optional<std::uint32_t> UsageMapCursor::next() {
  while (nextBit_ < bitCount_) {
    const std::uint64_t index = nextBit_;
    const std::uint8_t byte = mapByte(index);
    // Map pages cover a whole number of bytes, so a zero byte skips eight pages.
    if (byte == 0) {
      nextBit_ = (index / 8 + 1) * 8;
      continue;
    }
    ++nextBit_;
    if (!((byte >> (index % 8)) & 1)) continue;
    const std::uint64_t page = type_ == 0 ? startPage_ + index : index;
    if (page >= pager_->pageCount())
      throwDamaged(pager_->path(), "the page map of " + owner_ + " lists page " + std::to_string(page) +
                                       ", past the end of the file (" + std::to_string(pager_->pageCount()) +
                                       " pages)");
    return static_cast<std::uint32_t>(page);
  }
  return std::nullopt;
}

}  // namespace fennick::jet
