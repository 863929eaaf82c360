// Sorting held index entries.
#include "held_entry_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

namespace fennick::jet {
namespace {

// An entry to sort: eight of its bytes from some depth on (zero-padded past
// its end) as one number, and where it lies. Sixteen bytes, so that each
// radix pass moves little.
struct SortItem {
  std::uint64_t bytes;
  std::uint32_t place, size;
};

constexpr unsigned kDigitBits = 11;
constexpr std::size_t kDigits = (64 + kDigitBits - 1) / kDigitBits;
constexpr std::uint64_t kDigitMask = (std::uint64_t(1) << kDigitBits) - 1;
// Runs this short are sorted by comparing.
constexpr std::size_t kShortRun = 64;

std::uint64_t bytesAt(const std::uint8_t* entry, std::size_t size, std::size_t depth) {
  if (depth + 8 <= size) {
    std::uint64_t v;
    std::memcpy(&v, entry + depth, 8);
    return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
  }
  std::uint64_t v = 0;
  for (std::size_t k = depth; k < depth + 8; ++k) v = v << 8 | (k < size ? entry[k] : 0);
  return v;
}

class Sorter {
 public:
  explicit Sorter(const HeldEntryStore& store) : store_(store) {}

  // Items that agree on their first `depth` bytes, whose `bytes` are those
  // after: into order by the rest of their bytes, then by length.
  void sort(std::span<SortItem> items, std::size_t depth) {
    if (items.size() <= kShortRun) return sortShort(items, depth);
    sortByBytes(items);
    for (std::size_t begin = 0; begin < items.size();) {
      std::size_t end = begin + 1;
      while (end < items.size() && items[end].bytes == items[begin].bytes) ++end;
      if (end - begin > 1) sortTies(items.subspan(begin, end - begin), depth + 8);
      begin = end;
    }
  }

 private:
  // Items that agree on their first `depth` bytes (counting zeros past an
  // end), `bytes` not yet read.
  void sortTies(std::span<SortItem> items, std::size_t depth) {
    if (std::all_of(items.begin(), items.end(), [depth](const SortItem& i) { return i.size <= depth; })) {
      std::stable_sort(items.begin(), items.end(), [](const SortItem& a, const SortItem& b) { return a.size < b.size; });
      return;
    }
    for (SortItem& i : items) i.bytes = bytesAt(store_.at(i.place), i.size, depth);
    sort(items, depth);
  }

  // By `bytes`: least significant digit first, one stable pass for each
  // digit that is not the same in all items.
  void sortByBytes(std::span<SortItem> items) {
    std::vector<std::array<std::uint32_t, kDigitMask + 1>> counts(kDigits);
    for (auto& c : counts) c.fill(0);
    for (const SortItem& item : items)
      for (std::size_t d = 0; d < kDigits; ++d) ++counts[d][(item.bytes >> (kDigitBits * d)) & kDigitMask];
    // The first call is the largest: ties are sorted in part of its room.
    if (!scratch_) scratch_ = std::make_unique_for_overwrite<SortItem[]>(items.size());
    SortItem* from = items.data();
    SortItem* to = scratch_.get();
    for (std::size_t d = 0; d < kDigits; ++d) {
      const unsigned shift = kDigitBits * static_cast<unsigned>(d);
      auto& count = counts[d];
      if (count[(items[0].bytes >> shift) & kDigitMask] == items.size()) continue;
      std::uint32_t at = 0;
      for (auto& c : count) at += std::exchange(c, at);
      for (const SortItem* i = from; i != from + items.size(); ++i) to[count[(i->bytes >> shift) & kDigitMask]++] = *i;
      std::swap(from, to);
    }
    if (from != items.data()) std::copy(from, from + items.size(), items.data());
  }

  void sortShort(std::span<SortItem> items, std::size_t depth) {
    const std::size_t cut = depth + 8;
    std::sort(items.begin(), items.end(), [this, cut](const SortItem& a, const SortItem& b) {
      if (a.bytes != b.bytes) return a.bytes < b.bytes;
      const std::size_t restA = a.size > cut ? a.size - cut : 0, restB = b.size > cut ? b.size - cut : 0;
      const int c = std::memcmp(store_.at(a.place) + cut, store_.at(b.place) + cut, std::min(restA, restB));
      return c != 0 ? c < 0 : a.size < b.size;
    });
  }

  const HeldEntryStore& store_;
  std::unique_ptr<SortItem[]> scratch_;
};

}  // namespace

std::vector<std::span<const std::uint8_t>> sortEntries(const HeldEntryStore& store, std::size_t from, std::size_t to) {
  std::vector<std::span<const std::uint8_t>> sorted;
  if (from >= to) return sorted;
  const std::size_t depth = store.sharedPrefix();
  // Buffers this large are written before they are read: not cleared first.
  const auto buffer = std::make_unique_for_overwrite<SortItem[]>(to - from);
  const std::span<SortItem> items(buffer.get(), to - from);
  for (std::size_t i = from; i < to; ++i) {
    const auto entry = store[i];
    items[i - from] = {bytesAt(entry.data(), entry.size(), depth), store.place(i), static_cast<std::uint32_t>(entry.size())};
  }
  Sorter(store).sort(items, depth);
  sorted.reserve(items.size());
  for (const SortItem& item : items) sorted.emplace_back(store.at(item.place), item.size);
  return sorted;
}

}  // namespace fennick::jet
