// Byte-level images of the page kinds an empty database is made of: data
// pages holding rows (also the usage-map pages), usage-map rows, index leaf
// pages. Relies on the reader's format descriptors for page and header sizes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "format.h"

namespace fennick::templates {

using Page = std::vector<std::uint8_t>;

void putU8(std::span<std::uint8_t> out, std::size_t offset, std::uint8_t value);
void putU16(std::span<std::uint8_t> out, std::size_t offset, std::uint16_t value);
void putU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value);
void putBytes(std::span<std::uint8_t> out, std::size_t offset, std::span<const std::uint8_t> bytes);
void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value);

// A row pointer as table definitions and usage maps name rows: page << 8 | row.
constexpr std::uint32_t rowPointer(std::uint32_t page, std::uint32_t row) { return page << 8 | row; }

// A data page owned by `owner` (a table definition page, 0 for map pages,
// 1 for the global map) holding `rows` in row-number order, packed down
// from the page end. Throws std::length_error if they do not fit.
Page dataPage(const jet::Format& format, std::uint32_t owner,
              const std::vector<std::vector<std::uint8_t>>& rows);

// A type-0 usage-map row starting at page 0 with the bits of `pages` set.
std::vector<std::uint8_t> usageMapRow(const jet::Format& format, const std::vector<std::uint32_t>& pages);
// How many pages a type-0 map row covers.
std::uint32_t usageMapRowPages(const jet::Format& format);

// The only leaf page of an index of table `owner`, holding `entries` (each the
// key followed by the 4-byte data pointer), sorted here as byte strings.
// Throws std::length_error if they do not fit.
Page leafPage(const jet::Format& format, std::uint32_t owner,
              std::vector<std::vector<std::uint8_t>> entries);

// The 4-byte data pointer ending an index entry: 3-byte big-endian page, row.
void appendEntryPointer(std::vector<std::uint8_t>& entry, std::uint32_t page, std::uint8_t row);

}  // namespace fennick::templates
