// Holding the entries of appended rows and writing them out in key order.
#include "pending_index_entries.h"

#include <algorithm>
#include <cstring>
#include <future>

#include "held_entry_sort.h"

namespace fennick::jet {

std::uint64_t PendingIndexEntries::hashKey(std::span<const std::uint8_t> key) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (std::uint8_t b : key) h = (h ^ b) * 0x100000001b3ULL;
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ULL;
  return h ^ (h >> 32);
}

namespace {

std::uint64_t filterBits(std::uint64_t hash) {
  return 1ULL << ((hash >> 20) & 63) | 1ULL << ((hash >> 26) & 63) | 1ULL << ((hash >> 14) & 63);
}

bool entryLess(std::span<const std::uint8_t> x, std::span<const std::uint8_t> y) {
  const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  return c != 0 ? c < 0 : x.size() < y.size();
}

// The hash's bits: 0-9 pick the partition, 14-31 the filter bits, 34 up
// the filter word, 32-63 are kept in the partitions to compare.
std::size_t partitionOf(std::uint64_t hash, std::size_t partitions) { return hash & (partitions - 1); }
std::uint64_t tagOf(std::uint64_t hash) { return hash & 0xFFFFFFFF00000000ULL; }

}  // namespace

void PendingIndexEntries::Group::lookUpKey(std::uint64_t hash, std::size_t entry) {
  if ((filtered + 1) * 16 > filter.size() * 64) {
    rebuildLookUp(filtered + 1);
    return;  // the rebuild took in every held key, this one too
  }
  filter[(hash >> 34) & (filter.size() - 1)] |= filterBits(hash);
  partitions[partitionOf(hash, partitions.size())].push_back(tagOf(hash) | (entry + 1));
  ++filtered;
}

void PendingIndexEntries::Group::rebuildLookUp(std::size_t keys) {
  std::size_t words = 64;
  while (words * 64 < keys * 32) words *= 2;  // room for twice as many
  filter.assign(words, 0);
  // Up to a thousand partitions, whose ends (what adding touches) stay in
  // the cache; a partition holds about a thousand keys for every million.
  partitions.assign(std::min<std::size_t>(words / 4, 1024), {});
  filtered = 0;
  for (std::size_t i = written; i < entries.size(); ++i) {
    if (!uniqueKey[i]) continue;
    const std::uint64_t hash = hashKey(key(i));
    filter[(hash >> 34) & (words - 1)] |= filterBits(hash);
    partitions[partitionOf(hash, partitions.size())].push_back(tagOf(hash) | (i + 1));
    ++filtered;
  }
}

bool PendingIndexEntries::Group::holdsKey(std::span<const std::uint8_t> wanted, std::uint64_t hash) {
  if (!anyUnique || entryLess(largestUnique, wanted)) return false;
  // Where add() will put the key if it is new (prefetch() brought the
  // partition's own record in).
  const auto& partition = partitions[partitionOf(hash, partitions.size())];
  __builtin_prefetch(partition.data() + partition.size(), 1);
  const std::uint64_t bits = filterBits(hash);
  if ((filter[(hash >> 34) & (filter.size() - 1)] & bits) != bits) return false;
  const std::uint64_t tag = tagOf(hash);
  for (const std::uint64_t slot : partitions[partitionOf(hash, partitions.size())]) {
    if (tagOf(slot) != tag) continue;
    const auto held = key(static_cast<std::uint32_t>(slot) - 1);
    if (held.size() == wanted.size() && std::equal(held.begin(), held.end(), wanted.begin())) return true;
  }
  return false;
}

void PendingIndexEntries::Group::forgetLookUp() {
  anyUnique = false;
  largestUnique.clear();
  std::size_t keys = 0;
  for (std::size_t i = written; i < entries.size(); ++i) {
    if (!uniqueKey[i]) continue;
    if (!anyUnique || entryLess(largestUnique, key(i))) largestUnique.assign(key(i).begin(), key(i).end());
    anyUnique = true;
    ++keys;
  }
  rebuildLookUp(keys);
}

void PendingIndexEntries::Group::keep(std::size_t from, std::size_t to) {
  if (from == 0 && to == entries.size()) return;
  entries.keep(from, to);
  uniqueKey.erase(uniqueKey.begin() + static_cast<std::ptrdiff_t>(to), uniqueKey.end());
  uniqueKey.erase(uniqueKey.begin(), uniqueKey.begin() + static_cast<std::ptrdiff_t>(from));
}

std::vector<std::uint32_t> PendingIndexEntries::tablesLeftOut() const {
  std::vector<std::uint32_t> out;
  for (const auto& [root, g] : groups_)
    if (g.written < g.entries.size() && std::find(out.begin(), out.end(), g.definitionPage) == out.end())
      out.push_back(g.definitionPage);
  return out;
}

bool PendingIndexEntries::holdsKey(const RealIndex& real, std::span<const std::uint8_t> key, std::uint64_t hash) {
  const auto it = groups_.find(real.firstPage);
  return it != groups_.end() && it->second.holdsKey(key, hash);
}

void PendingIndexEntries::prefetch(const RealIndex& real, std::uint64_t hash) const {
  const auto it = groups_.find(real.firstPage);
  if (it == groups_.end() || it->second.filter.empty()) return;
  const Group& g = it->second;
  __builtin_prefetch(&g.filter[(hash >> 34) & (g.filter.size() - 1)]);
  __builtin_prefetch(&g.partitions[partitionOf(hash, g.partitions.size())]);
}

void PendingIndexEntries::add(std::uint32_t definitionPage, const RealIndex& real, const std::string& what,
                              std::span<const std::uint8_t> key, RowLocation row, bool uniqueKey, std::uint64_t hash) {
  Group& g = groups_[real.firstPage];
  if (g.written == g.entries.size()) {  // whatever it held is in the tree: the index now at this root
    g.definitionPage = definitionPage;
    g.usageMapPointer = real.usageMapPointer;
    g.what = what;
  }
  const std::size_t before = g.entries.bytes();
  std::uint8_t pointer[kIndexPointerSize];
  storeDataPointer(pointer, row.page, static_cast<std::uint8_t>(row.row));
  g.entries.append(key, pointer);
  g.uniqueKey.push_back(uniqueKey);
  if (uniqueKey) {
    if (!g.anyUnique || entryLess(g.largestUnique, key)) g.largestUnique.assign(key.begin(), key.end());
    g.anyUnique = true;
    g.lookUpKey(hash, g.entries.size() - 1);
  }
  bytes_ += g.entries.bytes() - before;
}

std::vector<std::span<const std::uint8_t>> PendingIndexEntries::Group::inKeyOrder() const {
  return sortEntries(entries, written, entries.size());
}

void PendingIndexEntries::writeInto(Pager& pager, IndexPageCache& cache) {
  struct Due {
    std::uint32_t root;
    Group* group;
    std::uint32_t owner;  // an empty tree's definition page: it is built from packed leaves
    bool build;
  };
  std::vector<Due> due;
  for (auto& [root, g] : groups_) {
    if (g.written == g.entries.size()) continue;
    IndexTree tree(pager, root, g.usageMapPointer, g.what, cache);
    due.push_back({root, &g, g.definitionPage, tree.empty()});
  }
  // Sorting (and packing leaves for an empty tree) touches nothing but the
  // group, so the next index's is done on a second thread while the pages
  // of the current one are written.
  struct Prepared {
    std::vector<std::span<const std::uint8_t>> sorted;
    std::vector<IndexPage> leaves;
  };
  const Format& format = pager.format();
  const auto prepare = [&format](const Due& d) {
    Prepared p;
    p.sorted = d.group->inKeyOrder();
    if (d.build) {
      p.leaves = IndexTree::packLeaves(format, d.owner, d.group->what, p.sorted);
      p.sorted = {};
    }
    return p;
  };
  const auto prepareLater = [&](std::size_t i) { return std::async(std::launch::async, prepare, std::cref(due[i])); };
  std::future<Prepared> next;
  if (due.size() > 1) next = prepareLater(1);
  for (std::size_t i = 0; i < due.size(); ++i) {
    Prepared prepared = i == 0 ? prepare(due[0]) : next.get();
    if (i > 0 && i + 1 < due.size()) next = prepareLater(i + 1);
    Group& g = *due[i].group;
    IndexTree tree(pager, due[i].root, g.usageMapPointer, g.what, cache);
    if (due[i].build)
      tree.build(std::move(prepared.leaves));
    else
      tree.insertAscending(prepared.sorted);
    g.written = g.entries.size();
    g.forgetLookUp();  // the tree answers for them now
  }
}

void PendingIndexEntries::commit() {
  bytes_ = 0;
  for (auto it = groups_.begin(); it != groups_.end();) {
    Group& g = it->second;
    const bool removed = g.written > 0;
    g.keep(g.written, g.entries.size());
    g.written = 0;
    g.committed = g.entries.size();
    if (removed) g.forgetLookUp();
    bytes_ += g.entries.bytes();
    it = g.entries.empty() ? groups_.erase(it) : std::next(it);
  }
}

void PendingIndexEntries::rollback() {
  bytes_ = 0;
  for (auto it = groups_.begin(); it != groups_.end();) {
    Group& g = it->second;
    const bool changed = g.written > 0 || g.committed < g.entries.size();
    g.keep(0, g.committed);
    g.written = 0;
    if (changed) g.forgetLookUp();
    bytes_ += g.entries.bytes();
    it = g.entries.empty() ? groups_.erase(it) : std::next(it);
  }
}

}  // namespace fennick::jet
