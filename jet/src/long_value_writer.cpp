// Long-value storage. A value up to one chain piece long goes on one LVAL
// row, packed with other small values on the column's open LVAL page; a
// longer one is cut into full pieces, each alone on a fresh page, and the
// remainder, which goes where a small value would. Pages of a chain are
// allocated in order, so the chain runs forward through the file.
#include "long_value_writer.h"

#include <vector>

#include "data_page.h"
#include "data_page_writer.h"
#include "jet/error.h"
#include "page_allocator.h"
#include "usage_map_writer.h"

namespace fennick::jet {
namespace {

constexpr std::uint8_t kInlineFlag = 0x80;
constexpr std::uint8_t kSingleRowFlag = 0x40;
constexpr std::uint32_t kMaxLength = 0x3FFFFFFF;

LongValueField field(std::size_t length, std::uint8_t flag) {
  LongValueField f{};
  f[0] = static_cast<std::uint8_t>(length);
  f[1] = static_cast<std::uint8_t>(length >> 8);
  f[2] = static_cast<std::uint8_t>(length >> 16);
  f[3] = static_cast<std::uint8_t>(flag | ((length >> 24) & 0x3F));
  return f;
}

std::uint32_t newLongValuePage(Pager& pager, LongValueColumn& column, const std::string& owner) {
  PageAllocator allocator(pager);
  const std::uint32_t page = allocator.allocate();
  formatDataPage(pager.writablePage(page), pager.format(), kLongValueOwner);
  markPageInMap(pager, column.usedMap, page, owner);
  markPageInMap(pager, column.freeMap, page, owner);
  return page;
}

// Puts one row on the column's open LVAL page, or on a new one that then
// becomes the open page; a page too full for it leaves the free-space map.
std::uint32_t placeSmallRow(Pager& pager, LongValueColumn& column, std::span<const std::uint8_t> row,
                            const std::string& owner) {
  const Format& f = pager.format();
  if (column.openPage) {
    if (auto number = addRowToPage(pager.writablePage(*column.openPage), f, row, pager.path()))
      return *column.openPage << 8 | *number;
    clearPageInMap(pager, column.freeMap, *column.openPage, owner);
  }
  column.openPage = newLongValuePage(pager, column, owner);
  return *column.openPage << 8 | *addRowToPage(pager.writablePage(*column.openPage), f, row, pager.path());
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

LongValueField inlineLongValueField(std::size_t length) { return field(length, kInlineFlag); }

LongValueField outOfRowLongValueField(const Format& format, std::size_t length) {
  return field(length, length <= format.longValueChunkSize ? kSingleRowFlag : 0);
}

std::uint32_t storeLongValue(Pager& pager, LongValueColumn& column, std::span<const std::uint8_t> data,
                             const std::string& owner) {
  const Format& f = pager.format();
  if (data.size() > kMaxLength) throw Error("The value of " + owner + " is longer than Jet can store.");
  if (data.size() <= f.longValueChunkSize) return placeSmallRow(pager, column, data, owner);

  // Full pieces on pages of their own, allocated first so they run forward;
  // the remainder, if any, ends the chain.
  const std::size_t full = data.size() / f.longValueChunkSize;
  const std::size_t rest = data.size() % f.longValueChunkSize;
  std::vector<std::uint32_t> pages(full);
  for (auto& p : pages) p = newLongValuePage(pager, column, owner);
  std::uint32_t next = 0;
  if (rest) {
    std::vector<std::uint8_t> piece(4 + rest, 0);
    std::copy(data.end() - static_cast<std::ptrdiff_t>(rest), data.end(), piece.begin() + 4);
    next = placeSmallRow(pager, column, piece, owner);
  }
  std::vector<std::uint8_t> piece(4 + f.longValueChunkSize);
  for (std::size_t i = full; i-- > 0;) {
    put32(piece, 0, next);
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(i * f.longValueChunkSize);
    std::copy(from, from + static_cast<std::ptrdiff_t>(f.longValueChunkSize), piece.begin() + 4);
    auto number = addRowToPage(pager.writablePage(pages[i]), f, piece, pager.path());
    if (!number) throw Error("A long-value page of \"" + pager.path() + "\" cannot hold a full piece.");
    clearPageInMap(pager, column.freeMap, pages[i], owner);  // a full piece leaves no room worth listing
    next = pages[i] << 8 | *number;
  }
  return next;
}

}  // namespace fennick::jet
