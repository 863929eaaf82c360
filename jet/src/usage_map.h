// Usage maps: the bitmaps saying which pages a table (or index) owns. A map
// is a row on a data page, either holding the bitmap itself (type 0) or
// listing usage-map pages that hold it (type 1). Relies on pager.h and
// data_page.h. Pages come out in ascending order, read lazily, so walking a
// huge table keeps nothing but the map row.
#pragma once

#include <optional>
#include <vector>

#include "pager.h"

namespace fennick::jet {

class UsageMapCursor {
 public:
  // `rowPointer` as the table definition stores it; `owner` names the map's
  // owner for messages ("table \"Orders\"").
  UsageMapCursor(Pager& pager, std::uint32_t rowPointer, std::string owner);

  // The next page set in the map, or nothing at the end.
  std::optional<std::uint32_t> next();

 private:
  std::uint8_t mapByte(std::uint64_t index);  // the map byte holding bit `index`
  Pager* pager_;
  std::string owner_;
  std::uint8_t type_ = 0;
  std::vector<std::uint8_t> map_;  // the map row after its type byte
  std::uint32_t startPage_ = 0;    // type 0
  std::uint64_t bitsPerMapPage_ = 0;
  std::uint64_t nextBit_ = 0;
  std::uint64_t bitCount_ = 0;
  PageRef mapPage_;                // type 1: the map page in use
  std::uint64_t mapPageIndex_ = ~std::uint64_t(0);
};

}  // namespace fennick::jet
