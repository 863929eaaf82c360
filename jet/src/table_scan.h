// A forward scan over a table's rows: its data pages in page-map order, the
// live rows of each page in row-table order, overflow rows followed to where
// their data moved. Holds one page and one row's values at a time. Relies
// on usage_map.h, data_page.h, row_layout.h and field_codec.h.
#pragma once

#include <memory>
#include <optional>

#include "data_page.h"
#include "database_state.h"
#include "row_layout.h"
#include "usage_map.h"

namespace fennick::jet {

class TableScan {
 public:
  TableScan(std::shared_ptr<DatabaseState> db, TableDefinition definition);

  bool next();
  bool seek(RowLocation where);
  const std::vector<fennick::Value>& values() const { return values_; }
  RowLocation location() const { return location_; }
  const TableDefinition& definition() const { return definition_; }

 private:
  bool nextPage();
  void decode(std::span<const std::uint8_t> row);
  std::span<const std::uint8_t> followOverflow(std::span<const std::uint8_t> pointerRow);

  std::shared_ptr<DatabaseState> db_;
  TableDefinition definition_;
  std::string where_;  // "table \"X\"" for messages
  UsageMapCursor pages_;
  std::optional<DataPageView> page_;
  std::uint16_t nextRow_ = 0;
  PageRef overflowPage_;
  PageRef seekPage_;
  std::vector<FieldSlice> fields_;
  std::vector<fennick::Value> values_;
  RowLocation location_;
};

}  // namespace fennick::jet
