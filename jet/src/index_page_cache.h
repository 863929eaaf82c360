// Decoded index pages kept between changes, so that appending rows neither
// decodes nor encodes the same pages again for every entry: a changed page
// stays here decoded and the pager asks for its bytes when someone reads
// it, and at commit. Only IndexTree changes index pages and it refreshes
// what it changes here. A rollback (which puts the pages back as they were)
// must discard it; code that rewrites or frees index pages by other means
// must clear it first. Bounded: when full it writes out what is pending and
// starts over. Relies on index_page and the pager.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <unordered_map>

#include "index_page.h"
#include "pager.h"

namespace fennick::jet {

class IndexPageCache final : public PageEncoder {
 public:
  static constexpr std::size_t kCapacity = 16384;

  IndexPage* find(std::uint32_t number) {
    const auto found = pages_.find(number);
    return found == pages_.end() ? nullptr : &found->second;
  }
  IndexPage& put(std::uint32_t number, IndexPage page) { return pages_[number] = std::move(page); }

  // The page as changed here becomes the transaction's image of it.
  void changed(Pager& pager, std::uint32_t number) { pager.deferPage(number, *this); }
  // The page leaves the index: nothing of it is written.
  void forget(Pager& pager, std::uint32_t number) {
    pager.cancelDeferred(number);
    pages_.erase(number);
  }
  void trim(Pager& pager) {
    if (pages_.size() >= kCapacity) clear(pager);
  }
  // Writes out the changes it holds, then forgets every page.
  void clear(Pager& pager) {
    pager.encodeDeferred();
    pages_.clear();
  }
  // After a rollback: the pages it holds are no longer the file's.
  void discard() { pages_.clear(); }

  void encodePage(const Format& format, std::uint32_t number, std::span<std::uint8_t> out) override {
    const IndexPage* page = find(number);
    if (!page) throw std::logic_error("an index page was deferred but is no longer held");
    encodeIndexPage(format, *page, out);
  }

 private:
  std::unordered_map<std::uint32_t, IndexPage> pages_;
};

}  // namespace fennick::jet
