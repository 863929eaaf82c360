// Decoded index pages kept between changes, so that appending rows does
// not decode the same pages again for every entry. Only IndexTree writes
// index pages and it refreshes what it writes here; a rollback (which
// puts the pages back as they were) must clear it. Bounded: when full it
// starts over. Relies on index_page.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "index_page.h"

namespace fennick::jet {

class IndexPageCache {
 public:
  static constexpr std::size_t kCapacity = 16384;

  IndexPage* find(std::uint32_t number) {
    const auto found = pages_.find(number);
    return found == pages_.end() ? nullptr : &found->second;
  }
  IndexPage& put(std::uint32_t number, IndexPage page) { return pages_[number] = std::move(page); }
  void forget(std::uint32_t number) { pages_.erase(number); }
  void trim() {
    if (pages_.size() >= kCapacity) pages_.clear();
  }
  void clear() { pages_.clear(); }

 private:
  std::unordered_map<std::uint32_t, IndexPage> pages_;
};

}  // namespace fennick::jet
