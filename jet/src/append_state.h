// What appending rows to one table keeps between rows of a database
// handle, so that a row append costs the same however large the table is:
// the table's definition, the data page rows go to, each long-value
// column's maps and open LVAL page, the autonumber, the indexes to keep.
// It describes pages of the open transaction, so a rollback forgets it;
// anything that changes a table's definition (indexes, columns) must
// forget that table's state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "index_row_keys.h"
#include "jet/schema.h"
#include "long_value_writer.h"
#include "row_writer.h"

namespace fennick::jet {

struct AppendState {
  TableDefinition definition;
  std::optional<std::uint32_t> lastPage;          // the data page taking rows, once known
  std::vector<LongValueColumn> longValueColumns;  // one per Memo / OLE column, by column index
  std::vector<std::size_t> longValueColumnOf;     // column index -> entry in longValueColumns (or npos)
  std::vector<std::size_t> autoNumberColumns;     // column indexes
  std::uint32_t autoNumber = 0;                   // the last number handed out
  std::optional<std::vector<MaintainedIndex>> indexes;  // once the first row needs them
  // Reused from row to row.
  RowBuffers buffers;
  std::vector<std::uint8_t> row;
  std::vector<OutOfRowValue> outOfRow;
  RowKeys keys;
};

struct AppendStates {
  std::unordered_map<std::uint32_t, AppendState> byDefinitionPage;
  std::string lastName;  // the table the last append named, as named
  std::uint32_t lastDefinitionPage = 0;

  void forget() {
    byDefinitionPage.clear();
    lastName.clear();
    lastDefinitionPage = 0;
  }
};

}  // namespace fennick::jet
