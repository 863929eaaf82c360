// Blocks of held index entries.
#include "held_entry_store.h"

#include <algorithm>
#include <stdexcept>

#include "index_page.h"
#include "jet/error.h"

namespace fennick::jet {

void HeldEntryStore::append(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail) {
  const std::size_t size = head.size() + tail.size();
  if (size >= kBlockSize || size > UINT16_MAX) throw std::logic_error("an index entry is larger than a block");
  if (blocks_.empty() || used_ + size > kBlockSize) {
    if (blocks_.size() >= (std::size_t(1) << (32 - kBlockBits)))
      throw Error("An index is given more entries in one transaction than can be held (4 GB); commit more often.");
    blocks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize));
    used_ = 0;
  }
  const std::uint32_t place = static_cast<std::uint32_t>((blocks_.size() - 1) << kBlockBits | used_);
  places_.push_back(place);
  sizes_.push_back(static_cast<std::uint16_t>(size));
  used_ += size;
  bytes_ += size;
  std::uint8_t* const at = blocks_.back().get() + (place & kOffsetMask);
  std::copy(tail.begin(), tail.end(), std::copy(head.begin(), head.end(), at));
  shared_ = places_.size() == 1 ? size : jet::sharedPrefix((*this)[0], {at, size}, shared_);
}

void HeldEntryStore::keep(std::size_t from, std::size_t to) {
  if (from == 0 && to == size()) return;
  HeldEntryStore kept;
  for (std::size_t i = from; i < to; ++i) {
    kept.append((*this)[i]);
  }
  *this = std::move(kept);
}

}  // namespace fennick::jet
