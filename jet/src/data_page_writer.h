// Adding rows to data pages in a transaction: a fresh page's header, and a
// row placed below the lowest one with its row-table entry and the free-space
// word kept exact (page size - header - 2 x rows - row bytes). Relies on the
// pager's write side and format.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "pager.h"

namespace fennick::jet {

// Makes `page` an empty data page of the table whose definition is at `owner`.
void formatDataPage(std::span<std::uint8_t> page, const Format& format, std::uint32_t owner);

// Adds `row` to the data page; its row number, or nothing when the page has
// no room (the page is then unchanged). Throws the damaged-file error when
// the page's row table is inconsistent.
std::optional<std::uint16_t> addRowToPage(std::span<std::uint8_t> page, const Format& format,
                                          std::span<const std::uint8_t> row, const std::string& path);

// Marks row `row` of the data page deleted (its bytes stay until the page is
// compacted, as Jet leaves them). Throws the damaged-file error when the page
// has no such row.
void markRowDeleted(std::span<std::uint8_t> page, const Format& format, std::uint16_t row, const std::string& path);

}  // namespace fennick::jet
