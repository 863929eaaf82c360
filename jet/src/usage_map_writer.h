// Recording pages in usage maps (a table's used or free-space map, a
// long-value column's pair, an index's map) and adding new map rows. A map
// row starts inline (type 0: a start page and a bitmap); when a page falls
// outside what its bitmap can reach, the row becomes a reference map (type
// 1: a list of usage-map pages, each a bitmap over a fixed range of page
// numbers from 0), as Jet does for tables that grow large. Relies on the
// pager's write side, data_page_writer and page_allocator.
#pragma once

#include <cstdint>
#include <string>

#include "page_allocator.h"
#include "pager.h"

namespace fennick::jet {

// Sets the bit of `page` in the map row at `rowPointer`. `owner` names the
// map in messages ("table \"Orders\"").
void markPageInMap(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, const std::string& owner);
// Clears it (a page leaving a free-space map when it fills up); nothing to
// do when the map does not hold the page.
void clearPageInMap(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, const std::string& owner);

// Adds an empty type-0 map row on the map page holding `besideRowPointer`,
// or on a new map page when that one is full; returns the new row's pointer.
std::uint32_t addMapRow(Pager& pager, PageAllocator& allocator, std::uint32_t besideRowPointer);

}  // namespace fennick::jet
