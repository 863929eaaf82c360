// Page allocation through the global usage map (page 1, row 0), in which a
// set bit marks a free page: every page from the end of the file on, and
// pages released by dropped tables. New pages are always appended to the
// file (freed pages are marked but not reused, which Jet accepts). The map
// covers a window of pages from its start page; pages outside it are not
// recorded, as in Jet's own large files. Relies on the pager's write side.
#pragma once

#include <cstdint>

#include "pager.h"

namespace fennick::jet {

class PageAllocator {
 public:
  explicit PageAllocator(Pager& pager) : pager_(&pager) {}

  // Appends a zero-filled page in the open transaction and marks it used.
  // Throws Error naming the file if the global map is damaged or the file
  // is at Jet's size limit.
  std::uint32_t allocate();
  // Marks a page free (its contents stay; the file does not shrink).
  void release(std::uint32_t page);
  // Whether the global map marks the page free (false outside its window).
  bool isFree(std::uint32_t page);

 private:
  struct MapBit {
    std::size_t byteOffset;  // within page 1
    std::uint8_t mask;
  };
  // The bit of `page` in the global map, if the map covers it.
  bool locate(std::uint32_t page, MapBit& bit);
  Pager* pager_;
};

}  // namespace fennick::jet
