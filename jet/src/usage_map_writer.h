// Recording a page in a usage map (a table's used or free-space map, an
// index's or long-value column's map) and adding new map rows. Only inline
// maps (type 0) are written: a page outside the map's window is an error,
// except that an empty map is moved to start at the page. Relies on the
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

// Adds an empty type-0 map row on the map page holding `besideRowPointer`,
// or on a new map page when that one is full; returns the new row's pointer.
std::uint32_t addMapRow(Pager& pager, PageAllocator& allocator, std::uint32_t besideRowPointer);

}  // namespace fennick::jet
