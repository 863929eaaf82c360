// Expands the generated sort streams into per-character lookup tables.
// Relies on collation_tables.cpp (generated) for the data.
#include "text_sort.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "collation_tables.h"

namespace fennick::jet::keys::detail {

namespace {

// A record in the pool: header (kind | small << 3 | accentLength << 4),
// sort length, sort bytes, accent bytes.
struct Record {
  std::uint8_t header = 0;
  std::vector<std::uint8_t> sort;
  std::vector<std::uint8_t> accent;
};

[[noreturn]] void malformed(const char* what) {
  throw std::logic_error(std::string("built-in text sort table is malformed: ") + what);
}

// Adds `step` to the sort bytes read as a big-endian number; false on overflow.
bool incrementSort(std::vector<std::uint8_t>& sort, unsigned step) {
  unsigned carry = step;
  for (auto it = sort.rbegin(); it != sort.rend() && carry; ++it) {
    unsigned sum = *it + carry;
    *it = static_cast<std::uint8_t>(sum & 0xFF);
    carry = sum >> 8;
  }
  return carry == 0;
}

}  // namespace

SortTable::SortTable(const SortStream& stream) {
  offsets_.reserve(stream.characters);
  const auto* data = reinterpret_cast<const std::uint8_t*>(stream.data);
  std::size_t pos = 0;
  auto next = [&]() -> std::uint8_t {
    if (pos >= stream.length) malformed("stream ends early");
    return data[pos++];
  };
  Record current;
  bool haveCurrent = false;
  std::uint32_t currentOffset = 0;
  auto store = [&] {
    currentOffset = static_cast<std::uint32_t>(pool_.size());
    pool_.push_back(current.header);
    pool_.push_back(static_cast<std::uint8_t>(current.sort.size()));
    pool_.insert(pool_.end(), current.sort.begin(), current.sort.end());
    pool_.insert(pool_.end(), current.accent.begin(), current.accent.end());
    longestSort_ = std::max(longestSort_, current.sort.size());
    longestAccent_ = std::max(longestAccent_, current.accent.size());
  };
  while (offsets_.size() < stream.characters) {
    std::uint8_t op = next();
    if (op < 0x40) {
      if (!haveCurrent) malformed("repeat before the first entry");
      for (int i = 0; i <= op; ++i) offsets_.push_back(currentOffset);
      continue;
    }
    if (op < 0x80) {
      if (!haveCurrent || current.sort.empty()) malformed("step without sort bytes");
      if (!incrementSort(current.sort, op - 0x3Fu)) malformed("step overflows");
    } else if (op == 0x80) {
      current.header = next();
      std::size_t sortLength = next();
      current.sort.resize(sortLength);
      for (auto& b : current.sort) b = next();
      current.accent.resize(current.header >> 4);
      for (auto& b : current.accent) b = next();
      if ((current.header & 7) > static_cast<int>(CodeKind::BaseLetter)) malformed("unknown kind");
      haveCurrent = true;
    } else if (op == 0x82) {
      if (!haveCurrent || current.sort.empty()) malformed("run without sort bytes");
      int count = next() + 1;
      for (int k = 0; k < count; ++k) {
        if (!incrementSort(current.sort, 1)) malformed("run overflows");
        store();
        offsets_.push_back(currentOffset);
      }
      continue;
    } else if (op == 0x81) {
      if (!haveCurrent || current.accent.empty()) malformed("accent change without accent");
      for (auto& b : current.accent) b = next();
    } else {
      malformed("unknown operation");
    }
    store();
    offsets_.push_back(currentOffset);
  }
  if (offsets_.size() != stream.characters || pos != stream.length)
    malformed("stream length does not match");
  for (unsigned c = 0; c < ascii_.size(); ++c) {
    const CharCode code = lookup(c);
    const bool plain = code.kind == CodeKind::Simple && code.accent.empty();
    if ((!plain && code.kind != CodeKind::Punctuation) || code.sort.empty() || code.sort.size() > 2) continue;
    Ascii& a = ascii_[c];
    a.fast = true;
    a.kind = code.kind;
    a.length = static_cast<std::uint8_t>(code.sort.size());
    for (std::size_t i = 0; i < code.sort.size(); ++i) a.sort[i] = code.sort[i];
  }
}

const SortTable& general97Table() {
  static const SortTable table(kGeneral97);
  return table;
}

const SortTable& generalLegacyTable() {
  static const SortTable table(kGeneralLegacy);
  return table;
}

const SortTable& general2010Table() {
  static const SortTable table(kGeneral2010);
  return table;
}

std::uint8_t general97Byte(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
    return static_cast<std::uint8_t>(character);
  for (unsigned i = 0; i < kGeneral97ExtraCount; ++i)
    if (kGeneral97Extra[i].unicode == character) return kGeneral97Extra[i].byte;
  return '?';
}

}  // namespace fennick::jet::keys::detail
