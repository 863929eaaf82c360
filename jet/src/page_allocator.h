// Page allocation through the global usage map (page 1, row 0), in which a
// set bit marks a free page: every page from the end of the file on, and
// pages released by dropped tables. Released pages are handed out again
// (zero-filled) before the file grows. The map
// covers a window of pages from its start page; pages outside it are not
// recorded, as in Jet's own large files. Relies on the pager's write side.
#pragma once

#include <cstdint>
#include <optional>

#include "pager.h"

namespace fennick::jet {

class PageAllocator {
 public:
  explicit PageAllocator(Pager& pager) : pager_(&pager) {}

  // A zero-filled page in the open transaction, marked used: the first page
  // the map marks free inside the file, else a new page at its end.
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
  struct Window {
    std::size_t bitmapOffset;  // within page 1
    std::uint32_t firstPage;
    std::uint64_t pages;
  };
  Window window();
  std::optional<std::uint32_t> firstFreePage();
  // The bit of `page` in the global map, if the map covers it.
  bool locate(std::uint32_t page, MapBit& bit);
  Pager* pager_;
};

}  // namespace fennick::jet
