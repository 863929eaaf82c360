// Adding an entry to an index held on a single leaf page (every catalogue
// index of a new database): entries kept sorted as byte strings, the
// entry-end bitmap and the free-space word rebuilt. An index of more pages,
// or a full leaf, is refused with a clear error. Relies on the pager's write
// side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pager.h"

namespace fennick::jet {

// `key` followed by the data pointer of (dataPage, row) goes into the index
// whose only page is `leafPage`; `indexName` is for messages.
void addLeafEntry(Pager& pager, std::uint32_t leafPage, std::vector<std::uint8_t> key, std::uint32_t dataPage,
                  std::uint8_t row, const std::string& indexName);

// Removes the entry `key` + (dataPage, row) from the index whose only page is
// `leafPage`; false when it holds no such entry.
bool removeLeafEntry(Pager& pager, std::uint32_t leafPage, std::vector<std::uint8_t> key, std::uint32_t dataPage,
                     std::uint8_t row, const std::string& indexName);

// The entries of a single-leaf index, in stored order (for checks).
std::vector<std::vector<std::uint8_t>> leafEntries(Pager& pager, std::uint32_t leafPage, const std::string& indexName);

}  // namespace fennick::jet
