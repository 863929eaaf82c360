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

// Computes the row's keys and checks them (required columns, length), and
// starts fetching what the look-ups for unique keys will read. Throws Error
// naming the index and the table when the row is refused; changes nothing.
void makeIndexKeys(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                   const std::vector<Value>& values, RowKeys& keys);
// Refuses the row when a unique index holds one of its keys already, in
// its tree or among the held entries; changes nothing.
void refuseDuplicateKeys(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                         const std::vector<Value>& values, const RowKeys& keys);
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
  // The two halves of the checks; the caller may do other work between
  // them while the look-ups' memory is fetched.
  void makeKeys(const std::vector<Value>& values) {
    makeIndexKeys(db_, state_.definition, *state_.indexes, values, state_.keys);
  }
  void refuseDuplicates(const std::vector<Value>& values) {
    refuseDuplicateKeys(db_, state_.definition, *state_.indexes, values, state_.keys);
  }
  void add(RowLocation row) { addIndexEntries(db_, state_.definition, *state_.indexes, state_.keys, row); }

 private:
  DatabaseState& db_;
  AppendState& state_;
};

}  // namespace fennick::jet
