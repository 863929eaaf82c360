// Usage-map bits and rows. Relies on data_page.h to find a row, on
// data_page_writer.h to add one.
#include "usage_map_writer.h"

#include <vector>

#include "bytes.h"
#include "data_page.h"
#include "data_page_writer.h"
#include "jet/error.h"

namespace fennick::jet {
namespace {

std::size_t bitmapBytes(const Format& format) { return format.version == 4 ? 64 : 128; }

}  // namespace

void markPageInMap(Pager& pager, std::uint32_t rowPointer, std::uint32_t page, const std::string& owner) {
  const RowPointer where = RowPointer::decode(rowPointer);
  const DataPageView view(pager.page(where.page, kDataPage, "usage map page"), pager.format(), pager.path());
  if (where.row >= view.rowCount()) throwDamaged(pager.path(), "the usage map of " + owner + " names a missing row");
  const RowSlot slot = view.slot(where.row);
  if (slot.end - slot.start < 5) throwDamaged(pager.path(), "the usage map of " + owner + " is too short");
  auto bytes = pager.writablePage(where.page).subspan(slot.start, slot.end - slot.start);
  if (bytes[0] != 0)
    throw Error("The usage map of " + owner + " in \"" + pager.path() + "\" is a page list, which is not written yet.");
  std::uint32_t start = bytes[1] | bytes[2] << 8 | bytes[3] << 16 | std::uint32_t(bytes[4]) << 24;
  const std::uint64_t covered = std::uint64_t(bytes.size() - 5) * 8;
  if (page < start || page - start >= covered) {
    bool empty = true;
    for (std::size_t i = 5; i < bytes.size(); ++i) empty = empty && bytes[i] == 0;
    if (!empty)
      throw Error("The pages of " + owner + " in \"" + pager.path() + "\" spread beyond what one inline usage map holds.");
    start = page - page % 8;  // an empty map may start anywhere; Jet moves it forward the same way
    for (int i = 0; i < 4; ++i) bytes[1 + i] = static_cast<std::uint8_t>(start >> (8 * i));
  }
  const std::uint32_t bit = page - start;
  bytes[5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
}

std::uint32_t addMapRow(Pager& pager, PageAllocator& allocator, std::uint32_t besideRowPointer) {
  const Format& format = pager.format();
  const std::vector<std::uint8_t> row(5 + bitmapBytes(format), 0);
  std::uint32_t page = RowPointer::decode(besideRowPointer).page;
  pager.page(page, kDataPage, "usage map page");
  if (auto number = addRowToPage(pager.writablePage(page), format, row, pager.path())) return page << 8 | *number;
  page = allocator.allocate();
  formatDataPage(pager.writablePage(page), format, 0);  // map pages belong to no table
  return page << 8 | *addRowToPage(pager.writablePage(page), format, row, pager.path());
}

}  // namespace fennick::jet
