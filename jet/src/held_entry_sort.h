// Held index entries into key order. An entry sorts by its bytes: sixteen
// of them, after what all the entries share, are read into two numbers and
// sorted by radix, so most comparisons never touch the entries themselves.
// Relies on held_entry_store and index_page.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "held_entry_store.h"

namespace fennick::jet {

// Entries [from, to) of `store` in key order. Reads nothing but the store,
// which must not change meanwhile, so it may run on any thread.
std::vector<std::span<const std::uint8_t>> sortEntries(const HeldEntryStore& store, std::size_t from, std::size_t to);

}  // namespace fennick::jet
