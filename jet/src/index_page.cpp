// Index page decoding and encoding. The entry-end bitmap has one bit per
// byte after the first entry's start; a set bit marks where an entry ends
// (and the next begins). The free-space word counts what the entries leave.
#include "index_page.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "bytes.h"

namespace fennick::jet {
namespace {

// The prefix a leaf holding entries [from, to) leaves out after its first:
// what the first and last share.
std::size_t leafPrefix(const IndexPage& page, std::size_t from, std::size_t to) {
  // Sorted entries that are no prefix of one another are all longer than
  // what the first and the last share, except the first itself.
  if (to - from < 2) return 0;
  const std::size_t prefix = sharedPrefix(page.entry(from), page.entry(to - 1));
  return std::min(prefix, page.entry(to - 1).size() - 1);
}

void put(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::size_t sharedPrefix(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t limit) {
  const std::size_t n = std::min({a.size(), b.size(), limit});
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    const auto differing = [&](std::size_t at) {
      std::uint64_t x, y;
      std::memcpy(&x, a.data() + at, 8);
      std::memcpy(&y, b.data() + at, 8);
      return x ^ y;
    };
    for (; i + 8 <= n; i += 8)
      if (const std::uint64_t d = differing(i)) return i + static_cast<std::size_t>(std::countr_zero(d)) / 8;
    // The last few bytes as the eight that end at n, overlapping those
    // already compared (which are equal).
    if (i < n && n >= 8) {
      const std::uint64_t d = differing(n - 8);
      return d == 0 ? n : n - 8 + static_cast<std::size_t>(std::countr_zero(d)) / 8;
    }
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

std::uint32_t loadBigEndian32(std::span<const std::uint8_t> b) {
  return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

void storeDataPointer(std::uint8_t* at, std::uint32_t page, std::uint8_t row) {
  at[0] = static_cast<std::uint8_t>(page >> 16);
  at[1] = static_cast<std::uint8_t>(page >> 8);
  at[2] = static_cast<std::uint8_t>(page);
  at[3] = row;
}

void appendDataPointer(std::vector<std::uint8_t>& entry, std::uint32_t page, std::uint8_t row) {
  entry.resize(entry.size() + kIndexPointerSize);
  storeDataPointer(entry.data() + entry.size() - kIndexPointerSize, page, row);
}

std::uint32_t IndexPage::child(std::size_t i) const {
  const auto e = entry(i);
  return loadBigEndian32(e.last(kIndexPointerSize));
}

void IndexPage::insert(std::size_t at, std::span<const std::uint8_t> e) {
  if (at == size()) {
    bytes.insert(bytes.end(), e.begin(), e.end());
    ends.push_back(static_cast<std::uint32_t>(bytes.size()));
    return;
  }
  const std::size_t start = begin(at);
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(start), e.begin(), e.end());
  ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint32_t>(start));
  for (std::size_t i = at; i < ends.size(); ++i) ends[i] += static_cast<std::uint32_t>(e.size());
}

void IndexPage::erase(std::size_t at) {
  const std::size_t start = begin(at), length = ends[at] - start;
  bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(start),
              bytes.begin() + static_cast<std::ptrdiff_t>(start + length));
  ends.erase(ends.begin() + static_cast<std::ptrdiff_t>(at));
  for (std::size_t i = at; i < ends.size(); ++i) ends[i] -= static_cast<std::uint32_t>(length);
}

void IndexPage::replace(std::size_t at, std::span<const std::uint8_t> e) {
  const std::vector<std::uint8_t> copy(e.begin(), e.end());  // e may point into bytes
  erase(at);
  insert(at, copy);
}

IndexPage IndexPage::slice(std::size_t from, std::size_t to) const {
  IndexPage out;
  out.leaf = leaf;
  out.owner = owner;
  out.compressed = compressed;
  const std::size_t start = from < to ? begin(from) : 0;
  if (from < to) out.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + ends[to - 1]);
  for (std::size_t i = from; i < to; ++i) out.ends.push_back(static_cast<std::uint32_t>(ends[i] - start));
  return out;
}

IndexPage decodeIndexPage(const Format& f, std::span<const std::uint8_t> page, const std::string& path,
                          const std::string& what, std::uint32_t number) {
  ByteReader r(page, path, "index page");
  const auto damaged = [&](const std::string& why) {
    throwDamaged(path, "page " + std::to_string(number) + " of the " + what + " " + why);
  };
  IndexPage out;
  const std::uint8_t type = r.u8(0);
  if (type != kIndexLeafPage && type != kIndexNodePage) damaged("is not an index page (type " + std::to_string(type) + ")");
  out.leaf = type == kIndexLeafPage;
  out.owner = r.u32(4);
  out.prev = r.u32(f.indexPrevOffset);
  out.next = r.u32(f.indexNextOffset);
  out.tail = r.u32(f.indexTailOffset);
  const std::size_t prefix = f.indexPrefixSize == 1 ? r.u8(f.indexPrefixOffset) : r.u16(f.indexPrefixOffset);
  out.compressed = prefix > 0;
  const std::size_t first = f.indexFirstEntryOffset;
  std::size_t start = 0;
  out.bytes.reserve(page.size());
  for (std::size_t byte = f.indexBitmapOffset; byte < first; ++byte) {
    std::uint8_t bits = page[byte];
    while (bits) {
      const int low = __builtin_ctz(bits);
      bits = static_cast<std::uint8_t>(bits & (bits - 1));
      const std::size_t end = (byte - f.indexBitmapOffset) * 8 + static_cast<std::size_t>(low);
      if (end <= start || first + end > page.size()) damaged("has an entry that does not fit the page");
      if (!out.ends.empty() && prefix > 0) {
        if (prefix > out.ends[0]) damaged("has a shared prefix longer than its first entry");
        const std::size_t at = out.bytes.size();
        out.bytes.resize(at + prefix);
        std::copy_n(out.bytes.begin(), prefix, out.bytes.begin() + static_cast<std::ptrdiff_t>(at));
      }
      out.bytes.insert(out.bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(first + start),
                       page.begin() + static_cast<std::ptrdiff_t>(first + end));
      out.ends.push_back(static_cast<std::uint32_t>(out.bytes.size()));
      start = end;
    }
  }
  const std::size_t minimum = kIndexPointerSize + (out.leaf ? 0 : kIndexPointerSize);
  for (std::size_t i = 0; i < out.size(); ++i)
    if (out.entry(i).size() < minimum + 1) damaged("has an entry too short to hold a key and its pointers");
  return out;
}

std::size_t encodedIndexSize(const IndexPage& page, std::size_t from, std::size_t to) {
  if (from >= to) return 0;
  const std::size_t total = page.ends[to - 1] - page.begin(from);
  return page.leaf && page.compressed ? total - (to - from - 1) * leafPrefix(page, from, to) : total;
}

void encodeIndexPage(const Format& f, const IndexPage& page, std::span<std::uint8_t> out) {
  std::fill(out.begin(), out.end(), 0);
  out[0] = page.leaf ? kIndexLeafPage : kIndexNodePage;
  out[1] = 0x01;
  put(out, 4, page.owner, 4);
  put(out, f.indexPrevOffset, page.prev, 4);
  put(out, f.indexNextOffset, page.next, 4);
  put(out, f.indexTailOffset, page.tail, 4);
  const std::size_t prefix = page.leaf && page.compressed ? leafPrefix(page, 0, page.size()) : 0;
  put(out, f.indexPrefixOffset, static_cast<std::uint32_t>(prefix), f.indexPrefixSize);
  if (!page.leaf) out[f.indexNodeFlagOffset] = 0x01;
  std::size_t at = f.indexFirstEntryOffset;
  for (std::size_t i = 0; i < page.size(); ++i) {
    auto e = page.entry(i);
    if (i > 0) e = e.subspan(prefix);
    std::copy(e.begin(), e.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    at += e.size();
    const std::size_t bit = at - f.indexFirstEntryOffset;
    out[f.indexBitmapOffset + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
  }
  put(out, 2, static_cast<std::uint32_t>(f.pageSize - at), 2);
}

}  // namespace fennick::jet
