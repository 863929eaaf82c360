// The row table of a data page (and of a long-value page, which shares its
// layout): how many rows, where each starts and ends, and its flags.
// Relies on pager.h and bytes.h; validates every offset against the page.
#pragma once

#include <span>

#include "pager.h"

namespace fennick::jet {

struct RowSlot {
  std::uint16_t start = 0;
  std::uint16_t end = 0;  // one past the last byte
  bool deleted = false;
  bool overflow = false;  // the row holds a pointer to where its data moved
};

class DataPageView {
 public:
  // `page` must be a data page (type 0x01); throws the damaged-file error
  // when it is not or its row table does not fit.
  DataPageView(PageRef page, const Format& format, const std::string& path);

  std::uint16_t rowCount() const { return rowCount_; }
  std::uint32_t owner() const { return owner_; }  // table definition page, or "LVAL"
  RowSlot slot(std::uint16_t row) const;
  std::span<const std::uint8_t> rowBytes(const RowSlot& slot) const {
    return page_->bytes().subspan(slot.start, slot.end - slot.start);
  }
  const PageRef& page() const { return page_; }

 private:
  PageRef page_;
  const Format* format_;
  const std::string* path_;
  std::uint16_t rowCount_;
  std::uint32_t owner_;
};

constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"

}  // namespace fennick::jet
