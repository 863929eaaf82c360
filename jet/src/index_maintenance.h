// Keeping a table's indexes in step with its rows: the keys a row gives
// each real index, the checks that refuse it (a duplicate in a unique
// index, a missing value in a required one) made before anything is
// written, then its entries added once the row has its place. Rows with
// every indexed column NULL are left out of ignore-nulls indexes; NULLs
// never count as duplicates. Relies on index_row_keys, index_btree and
// pending_index_entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "append_state.h"
#include "database_state.h"
#include "index_row_keys.h"
#include "jet/schema.h"

namespace fennick::jet {

// The table's real indexes with their key columns.
std::vector<MaintainedIndex> maintainedIndexes(const TableDefinition& def);
std::string describeIndex(const TableDefinition& def, std::size_t realIndex);

// The row's key for one index into `key`; false when the row stays out of
// it (every key column NULL in an ignore-nulls index).
bool rowKeyFor(const DatabaseState& db, const RealIndex& real, const MaintainedIndex& index,
               const std::vector<Value>& values, std::vector<std::uint8_t>& key);

// Computes the row's keys and makes every check. Throws Error naming the
// index and the table when the row is refused; changes nothing.
void prepareIndexEntries(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                         const std::vector<Value>& values, RowKeys& keys);
// Adds the prepared entries pointing at `row` (held, to go into the trees
// later: pending_index_entries.h).
void addIndexEntries(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                     const RowKeys& keys, RowLocation row);

// The row as it will be stored when its autonumber columns are NULL: the
// numbers the append will give them, so that its keys hold them. False
// (and `out` untouched) when there is nothing to number.
bool numberRowForIndexes(const AppendState& state, const std::vector<Value>& values, std::vector<Value>& out);

// The append hook: the same, for the table the append state describes
// (which keeps the indexes and the key buffers from row to row).
class RowIndexing {
 public:
  RowIndexing(DatabaseState& db, AppendState& state) : db_(db), state_(state) {
    if (!state.indexes) state.indexes = maintainedIndexes(state.definition);
  }
  bool active() const { return !state_.indexes->empty(); }
  void check(const std::vector<Value>& values) {
    prepareIndexEntries(db_, state_.definition, *state_.indexes, values, state_.keys);
  }
  void add(RowLocation row) { addIndexEntries(db_, state_.definition, *state_.indexes, state_.keys, row); }

 private:
  DatabaseState& db_;
  AppendState& state_;
};

}  // namespace fennick::jet
