// Sorting held index entries.
#include "held_entry_sort.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "index_page.h"

namespace fennick::jet {
namespace {

// An entry to sort: sixteen bytes of it (zero-padded) as two numbers, and
// where it lies.
struct SortItem {
  std::uint64_t high, low;
  std::uint32_t place, size;
};

// By `high`: least significant byte first, one stable pass for each byte
// that is not the same in all items.
void sortByHigh(std::vector<SortItem>& items) {
  std::vector<std::array<std::uint32_t, 256>> counts(8);
  for (auto& c : counts) c.fill(0);
  for (const SortItem& item : items)
    for (std::size_t b = 0; b < 8; ++b) ++counts[b][(item.high >> (8 * b)) & 0xFF];
  std::vector<SortItem> other(items.size());
  for (std::size_t b = 0; b < 8; ++b) {
    auto& count = counts[b];
    if (std::find(count.begin(), count.end(), items.size()) != count.end()) continue;
    std::uint32_t at = 0;
    for (auto& c : count) at += std::exchange(c, at);
    for (const SortItem& item : items) other[count[(item.high >> (8 * b)) & 0xFF]++] = item;
    items.swap(other);
  }
}

void setPrefix(SortItem& item, std::span<const std::uint8_t> e, std::size_t shared) {
  std::uint64_t high = 0, low = 0;
  for (std::size_t k = 0; k < 8; ++k) high = high << 8 | (shared + k < e.size() ? e[shared + k] : 0);
  for (std::size_t k = 8; k < 16; ++k) low = low << 8 | (shared + k < e.size() ? e[shared + k] : 0);
  item.high = high;
  item.low = low;
}

// Orders items by their numbers, then by the bytes after them, then by
// length. Items equal in both numbers agree on their first `shared` + 16
// bytes (an entry shorter than that is padded with zeros), so only the rest
// is compared.
template <typename At>
struct ItemLess {
  At at;
  std::size_t cut;
  bool operator()(const SortItem& a, const SortItem& b) const {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    const std::size_t restA = a.size > cut ? a.size - cut : 0, restB = b.size > cut ? b.size - cut : 0;
    const int c = std::memcmp(at(a.place) + a.size - restA, at(b.place) + b.size - restB, std::min(restA, restB));
    return c != 0 ? c < 0 : a.size < b.size;
  }
};
template <typename At>
ItemLess(At, std::size_t) -> ItemLess<At>;

}  // namespace

std::vector<std::span<const std::uint8_t>> sortEntries(const HeldEntryStore& store, std::size_t from, std::size_t to) {
  std::vector<std::span<const std::uint8_t>> sorted;
  if (from >= to) return sorted;
  const auto first = store[from];
  std::size_t shared = first.size();
  for (std::size_t i = from + 1; i < to && shared > 0; ++i) shared = sharedPrefix(store[i], first, shared);
  std::vector<SortItem> items(to - from);
  for (std::size_t i = from; i < to; ++i) {
    SortItem& item = items[i - from];
    item.place = store.place(i);
    item.size = static_cast<std::uint32_t>(store[i].size());
    setPrefix(item, store[i], shared);
  }
  sortByHigh(items);
  // Runs of equal `high`, by the rest.
  const ItemLess less{[&store](std::uint32_t place) { return store.at(place); }, shared + 16};
  for (std::size_t begin = 0; begin < items.size();) {
    std::size_t end = begin + 1;
    while (end < items.size() && items[end].high == items[begin].high) ++end;
    if (end - begin > 1)
      std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin), items.begin() + static_cast<std::ptrdiff_t>(end), less);
    begin = end;
  }
  sorted.reserve(items.size());
  for (const SortItem& item : items) sorted.emplace_back(store.at(item.place), item.size);
  return sorted;
}

}  // namespace fennick::jet
