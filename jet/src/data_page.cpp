// Row-table decoding and its bounds checks.
#include "data_page.h"

#include "bytes.h"

namespace fennick::jet {
namespace {
constexpr std::uint16_t kDeletedFlag = 0x8000;
constexpr std::uint16_t kOverflowFlag = 0x4000;
constexpr std::uint16_t kOffsetMask = 0x1FFF;
}  // namespace

DataPageView::DataPageView(PageRef page, const Format& format, const std::string& path)
    : page_(std::move(page)), format_(&format), path_(&path) {
  if (page_->type() != kDataPage)
    throwDamaged(path, "page " + std::to_string(page_->number()) +
                           " should be a data page but has page type " + std::to_string(page_->type()));
  ByteReader r(page_->bytes(), path, "data page");
  rowCount_ = r.u16(format.dataRowCountOffset);
  owner_ = r.u32(format.dataOwnerOffset);
  if (format.dataRowTableOffset + 2u * rowCount_ > format.pageSize)
    throwDamaged(path, "data page " + std::to_string(page_->number()) + " claims " +
                           std::to_string(rowCount_) + " rows, more than fit on a page");
}

RowSlot DataPageView::slot(std::uint16_t row) const {
  const std::uint8_t* table = page_->bytes().data() + format_->dataRowTableOffset;
  const std::uint16_t raw = loadU16(table + 2 * row);
  RowSlot s;
  s.start = raw & kOffsetMask;
  s.deleted = raw & kDeletedFlag;
  s.overflow = raw & kOverflowFlag;
  s.end = row == 0 ? static_cast<std::uint16_t>(format_->pageSize)
                   : static_cast<std::uint16_t>(loadU16(table + 2 * (row - 1)) & kOffsetMask);
  const std::size_t tableEnd = format_->dataRowTableOffset + 2u * rowCount_;
  const bool inPage = s.start >= tableEnd && s.start <= s.end && s.end <= format_->pageSize;
  if (s.deleted && !inPage) {
    // Deleted rows may keep any offset; they read as empty.
    s.start = s.end = static_cast<std::uint16_t>(tableEnd);
    return s;
  }
  if (!inPage)
    throwDamaged(*path_, "row " + std::to_string(row) + " on data page " + std::to_string(page_->number()) +
                             " lies outside the page (offsets " + std::to_string(s.start) + " to " +
                             std::to_string(s.end) + ")");
  return s;
}

}  // namespace fennick::jet
