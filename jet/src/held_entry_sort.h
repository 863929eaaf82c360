// Held index entries into key order. An entry sorts by its bytes: eight at
// a time, after what all the entries share, are read into a number and
// sorted by radix, so most entries are never compared byte by byte; only
// entries equal in those eight are read further.
// Relies on held_entry_store.
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
