// Holding the entries of appended rows and writing them out in key order.
#include "pending_index_entries.h"

#include <algorithm>
#include <cstring>

namespace fennick::jet {
namespace {

std::uint64_t hashKey(std::span<const std::uint8_t> key) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (std::uint8_t b : key) h = (h ^ b) * 0x100000001b3ULL;
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ULL;
  return h ^ (h >> 32);
}

std::uint64_t filterBits(std::uint64_t hash) {
  return 1ULL << ((hash >> 20) & 63) | 1ULL << ((hash >> 26) & 63) | 1ULL << ((hash >> 14) & 63);
}

bool entryLess(std::span<const std::uint8_t> x, std::span<const std::uint8_t> y) {
  const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  return c != 0 ? c < 0 : x.size() < y.size();
}

}  // namespace

void PendingIndexEntries::Group::filterKey(std::uint64_t hash) {
  if ((filtered + 1) * 16 > filter.size() * 64) {
    rebuildFilter(filtered + 1);
    return;  // the rebuild took in every held key, this one too
  }
  filter[(hash >> 34) & (filter.size() - 1)] |= filterBits(hash);
  ++filtered;
}

void PendingIndexEntries::Group::rebuildFilter(std::size_t keys) {
  std::size_t words = 64;
  while (words * 64 < keys * 32) words *= 2;  // room for twice as many
  filter.assign(words, 0);
  filtered = 0;
  for (std::size_t i = written; i < ends.size(); ++i) {
    if (!uniqueKey[i]) continue;
    const std::uint64_t hash = hashKey(key(i));
    filter[(hash >> 34) & (words - 1)] |= filterBits(hash);
    ++filtered;
  }
}

bool PendingIndexEntries::Group::holdsKey(std::span<const std::uint8_t> wanted) {
  if (!anyUnique || entryLess(largestUnique, wanted)) return false;
  const std::uint64_t hash = hashKey(wanted);
  const std::uint64_t bits = filterBits(hash);
  if ((filter[(hash >> 34) & (filter.size() - 1)] & bits) != bits) return false;
  placeKeys();
  const std::uint64_t tag = hash & 0xFFFFFFFF00000000ULL;
  const std::size_t mask = keySlots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const std::uint64_t slot = keySlots[at];
    if (slot == 0) return false;
    if ((slot & 0xFFFFFFFF00000000ULL) != tag) continue;
    const auto held = key(static_cast<std::uint32_t>(slot) - 1);
    if (held.size() == wanted.size() && std::equal(held.begin(), held.end(), wanted.begin())) return true;
  }
}

void PendingIndexEntries::Group::placeKeys() {
  std::size_t wanted = placed;
  placedUpTo = std::max(placedUpTo, written);
  for (std::size_t i = placedUpTo; i < ends.size(); ++i) wanted += uniqueKey[i] ? 1 : 0;
  std::size_t from = placedUpTo;
  if (wanted * 2 > keySlots.size()) {  // a larger table, everything placed again
    std::size_t size = 1024;
    while (size < wanted * 2) size *= 2;
    keySlots.assign(size, 0);
    placed = 0;
    from = written;
  }
  // In blocks: the slots a block needs are fetched while its hashes are
  // made, as the slots lie all over the table.
  constexpr std::size_t kBlock = 16;
  std::uint64_t hashes[kBlock];
  const std::size_t mask = keySlots.size() - 1;
  for (std::size_t start = from; start < ends.size(); start += kBlock) {
    const std::size_t stop = std::min(ends.size(), start + kBlock);
    for (std::size_t i = start; i < stop; ++i) {
      if (!uniqueKey[i]) continue;
      hashes[i - start] = hashKey(key(i));
      __builtin_prefetch(&keySlots[hashes[i - start] & mask]);
    }
    for (std::size_t i = start; i < stop; ++i) {
      if (!uniqueKey[i]) continue;
      const std::uint64_t hash = hashes[i - start];
      std::size_t at = hash & mask;
      while (keySlots[at] != 0) at = (at + 1) & mask;
      keySlots[at] = (hash & 0xFFFFFFFF00000000ULL) | (i + 1);
      ++placed;
    }
  }
  placedUpTo = ends.size();
}

void PendingIndexEntries::Group::forgetPlacedKeys() {
  keySlots.clear();
  placed = placedUpTo = 0;
  anyUnique = false;
  largestUnique.clear();
  std::size_t keys = 0;
  for (std::size_t i = written; i < ends.size(); ++i) {
    if (!uniqueKey[i]) continue;
    if (!anyUnique || entryLess(largestUnique, key(i))) largestUnique.assign(key(i).begin(), key(i).end());
    anyUnique = true;
    ++keys;
  }
  rebuildFilter(keys);
}

void PendingIndexEntries::Group::keep(std::size_t from, std::size_t to) {
  if (from == 0 && to == ends.size()) return;
  const std::size_t start = begin(from), stop = begin(to);
  bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(stop), bytes.end());
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
  ends.erase(ends.begin() + static_cast<std::ptrdiff_t>(to), ends.end());
  ends.erase(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(from));
  for (std::uint32_t& end : ends) end -= static_cast<std::uint32_t>(start);
  keyLengths.erase(keyLengths.begin() + static_cast<std::ptrdiff_t>(to), keyLengths.end());
  keyLengths.erase(keyLengths.begin(), keyLengths.begin() + static_cast<std::ptrdiff_t>(from));
  uniqueKey.erase(uniqueKey.begin() + static_cast<std::ptrdiff_t>(to), uniqueKey.end());
  uniqueKey.erase(uniqueKey.begin(), uniqueKey.begin() + static_cast<std::ptrdiff_t>(from));
}

std::vector<std::uint32_t> PendingIndexEntries::tablesLeftOut() const {
  std::vector<std::uint32_t> out;
  for (const auto& [root, g] : groups_)
    if (g.written < g.ends.size() && std::find(out.begin(), out.end(), g.definitionPage) == out.end())
      out.push_back(g.definitionPage);
  return out;
}

bool PendingIndexEntries::holdsKey(const RealIndex& real, std::span<const std::uint8_t> key) {
  const auto it = groups_.find(real.firstPage);
  return it != groups_.end() && it->second.holdsKey(key);
}

void PendingIndexEntries::add(std::uint32_t definitionPage, const RealIndex& real, const std::string& what,
                              std::span<const std::uint8_t> key, RowLocation row, bool uniqueKey) {
  Group& g = groups_[real.firstPage];
  if (g.written == g.ends.size()) {  // whatever it held is in the tree: the index now at this root
    g.definitionPage = definitionPage;
    g.usageMapPointer = real.usageMapPointer;
    g.what = what;
  }
  const std::size_t before = g.bytes.size();
  g.bytes.insert(g.bytes.end(), key.begin(), key.end());
  appendDataPointer(g.bytes, row.page, static_cast<std::uint8_t>(row.row));
  g.ends.push_back(static_cast<std::uint32_t>(g.bytes.size()));
  g.keyLengths.push_back(static_cast<std::uint16_t>(key.size()));
  g.uniqueKey.push_back(uniqueKey);
  if (uniqueKey) {
    if (!g.anyUnique || entryLess(g.largestUnique, key)) g.largestUnique.assign(key.begin(), key.end());
    g.anyUnique = true;
    g.filterKey(hashKey(key));
  }
  bytes_ += g.bytes.size() - before;
}

void PendingIndexEntries::writeInto(Pager& pager, IndexPageCache& cache) {
  for (auto& [root, g] : groups_) {
    if (g.written == g.ends.size()) continue;
    // Sorted on the eight bytes after what all the entries share, with
    // whole entries compared only where those are equal.
    const auto first = g.entry(g.written);
    std::size_t shared = first.size();
    for (std::size_t i = g.written + 1; i < g.ends.size() && shared > 0; ++i) {
      const auto e = g.entry(i);
      std::size_t k = 0;
      const std::size_t limit = std::min(shared, e.size());
      while (k < limit && e[k] == first[k]) ++k;
      shared = k;
    }
    struct Item {
      std::uint64_t prefix;
      std::uint32_t begin, size;
    };
    std::vector<Item> order;
    order.reserve(g.ends.size() - g.written);
    for (std::size_t i = g.written; i < g.ends.size(); ++i) {
      const auto e = g.entry(i);
      std::uint64_t prefix = 0;
      for (std::size_t k = 0; k < 8; ++k) prefix = prefix << 8 | (shared + k < e.size() ? e[shared + k] : 0);
      order.push_back({prefix, static_cast<std::uint32_t>(g.begin(i)), static_cast<std::uint32_t>(e.size())});
    }
    const std::uint8_t* base = g.bytes.data();
    std::sort(order.begin(), order.end(), [base](const Item& a, const Item& b) {
      return a.prefix != b.prefix ? a.prefix < b.prefix
                                  : entryLess({base + a.begin, a.size}, {base + b.begin, b.size});
    });
    std::vector<std::span<const std::uint8_t>> sorted;
    sorted.reserve(order.size());
    for (const Item& item : order) sorted.emplace_back(base + item.begin, item.size);
    IndexTree(pager, root, g.usageMapPointer, g.what, cache).insertAscending(sorted);
    g.written = g.ends.size();
    g.forgetPlacedKeys();  // the tree answers for them now
  }
}

void PendingIndexEntries::commit() {
  bytes_ = 0;
  for (auto it = groups_.begin(); it != groups_.end();) {
    Group& g = it->second;
    const bool removed = g.written > 0;
    g.keep(g.written, g.ends.size());
    g.written = 0;
    g.committed = g.ends.size();
    if (removed) g.forgetPlacedKeys();
    bytes_ += g.bytes.size();
    it = g.ends.empty() ? groups_.erase(it) : std::next(it);
  }
}

void PendingIndexEntries::rollback() {
  bytes_ = 0;
  for (auto it = groups_.begin(); it != groups_.end();) {
    Group& g = it->second;
    const bool changed = g.written > 0 || g.committed < g.ends.size();
    g.keep(0, g.committed);
    g.written = 0;
    if (changed) g.forgetPlacedKeys();
    bytes_ += g.bytes.size();
    it = g.ends.empty() ? groups_.erase(it) : std::next(it);
  }
}

}  // namespace fennick::jet
