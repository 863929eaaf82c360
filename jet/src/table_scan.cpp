// The row scan.
#include "table_scan.h"

#include "bytes.h"
#include "field_codec.h"

namespace fennick::jet {
namespace {
// An overflow row points to its data; the data is never itself a pointer
// in files Access writes, so more than a few hops means a damaged chain.
constexpr int kMaxOverflowHops = 4;
}  // namespace

TableScan::TableScan(std::shared_ptr<DatabaseState> db, TableDefinition definition)
    : db_(std::move(db)),
      definition_(std::move(definition)),
      where_("table \"" + definition_.name + "\""),
      pages_(db_->pager, definition_.usageMapPointer, where_) {
  values_.resize(definition_.columns.size());
}

bool TableScan::nextPage() {
  while (auto number = pages_.next()) {
    PageRef page = db_->pager.page(*number);
    // Page maps may still list pages the table gave back; only data pages
    // that name this table as their owner hold its rows.
    if (page->type() != kDataPage || loadU32(page->bytes().data() + db_->pager.format().dataOwnerOffset) !=
                                         definition_.definitionPage)
      continue;
    page_.emplace(std::move(page), db_->pager.format(), db_->pager.path());
    nextRow_ = 0;
    return true;
  }
  page_.reset();
  return false;
}

std::span<const std::uint8_t> TableScan::followOverflow(std::span<const std::uint8_t> row) {
  for (int hop = 0; hop < kMaxOverflowHops; ++hop) {
    if (row.size() < 4)
      throwDamaged(db_->pager.path(), "a moved row of " + where_ + " has no room for its new location");
    const RowPointer target = RowPointer::decode(loadU32(row.data()));
    DataPageView view(db_->pager.page(target.page), db_->pager.format(), db_->pager.path());
    if (target.row >= view.rowCount())
      throwDamaged(db_->pager.path(), "a moved row of " + where_ + " points to row " + std::to_string(target.row) +
                                          " of page " + std::to_string(target.page) + ", which has only " +
                                          std::to_string(view.rowCount()) + " rows");
    const RowSlot slot = view.slot(target.row);
    overflowPage_ = view.page();
    if (!slot.overflow || slot.deleted) return view.rowBytes(slot);
    row = view.rowBytes(slot);
  }
  throwDamaged(db_->pager.path(), "the moved rows of " + where_ + " point to each other in a loop");
}

void TableScan::decode(std::span<const std::uint8_t> row) {
  splitRow(db_->pager.format(), definition_, row, fields_,
           RowPlace{db_->pager.path(), definition_.name, location_.page, location_.row});
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Column& c = definition_.columns[i];
    const FieldSlice& f = fields_[i];
    if (c.type == ColumnType::Boolean) values_[i] = fennick::Value::boolean(!f.isNull);
    else if (f.isNull) values_[i] = fennick::Value::null();
    else values_[i] = decodeField(c, row.subspan(f.offset, f.length), db_->pager, db_->text);
  }
}

bool TableScan::seek(RowLocation where) {
  PageRef page = db_->pager.page(where.page);
  if (page->type() != kDataPage ||
      loadU32(page->bytes().data() + db_->pager.format().dataOwnerOffset) != definition_.definitionPage)
    return false;
  DataPageView view(std::move(page), db_->pager.format(), db_->pager.path());
  if (where.row >= view.rowCount()) return false;
  const RowSlot slot = view.slot(where.row);
  if (slot.deleted) return false;
  // Keep the page alive while the row's bytes are decoded.
  seekPage_ = view.page();
  location_ = where;
  auto bytes = view.rowBytes(slot);
  if (slot.overflow) bytes = followOverflow(bytes);
  decode(bytes);
  return true;
}

bool TableScan::next() {
  while (true) {
    if (!page_ || nextRow_ >= page_->rowCount()) {
      if (!nextPage()) return false;
      continue;
    }
    const std::uint16_t row = nextRow_++;
    const RowSlot slot = page_->slot(row);
    if (slot.deleted) continue;
    location_ = {page_->page()->number(), row};
    auto bytes = page_->rowBytes(slot);
    if (slot.overflow) bytes = followOverflow(bytes);
    decode(bytes);
    return true;
  }
}

}  // namespace fennick::jet
