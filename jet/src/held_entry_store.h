// Index entries (key, then data pointer) held in memory, back to back in
// blocks that never move once written, so that holding more never copies
// what is held and a sorted view of them stays valid while more arrive.
// Relies on nothing but the standard library.
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

  // Room for one more entry of `size` bytes (less than a block), to be
  // filled by the caller. Throws Error past 4 GiB held.
  std::uint8_t* append(std::size_t size);
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
};

}  // namespace fennick::jet
