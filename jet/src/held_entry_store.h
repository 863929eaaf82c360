// Index entries (key, then data pointer) held in memory, back to back in
// blocks that never move once written, so that holding more never copies
// what is held and a sorted view of them stays valid while more arrive.
// Relies on index_page for comparing entries.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace fennick::jet {

class HeldEntryStore {
 public:
  std::size_t size() const { return places_.size(); }
  std::size_t bytes() const { return bytes_; }
  bool empty() const { return places_.empty(); }

  std::span<const std::uint8_t> operator[](std::size_t i) const { return {at(places_[i]), sizes_[i]}; }
  // Where entry i lies: a number that at() turns back into its bytes.
  std::uint32_t place(std::size_t i) const { return places_[i]; }
  const std::uint8_t* at(std::uint32_t place) const { return blocks_[place >> kBlockBits].get() + (place & kOffsetMask); }

  // How many leading bytes every entry has in common: learnt as they
  // arrive, while each is fresh in the cache, so sorting need not read them
  // all once more to find it.
  std::size_t sharedPrefix() const { return shared_; }

  // Holds one more entry: `head` then `tail` (together less than a block).
  // Throws Error past 4 GiB held.
  void append(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail = {});
  // Only entries [from, to) remain.
  void keep(std::size_t from, std::size_t to);

 private:
  static constexpr unsigned kBlockBits = 20;
  static constexpr std::size_t kBlockSize = std::size_t(1) << kBlockBits;
  static constexpr std::uint32_t kOffsetMask = kBlockSize - 1;

  std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
  std::size_t used_ = kBlockSize;  // bytes used in the last block
  std::vector<std::uint32_t> places_;
  std::vector<std::uint16_t> sizes_;
  std::size_t bytes_ = 0;
  std::size_t shared_ = 0;
};

}  // namespace fennick::jet
