// Keeping a table's indexes in step with its rows: the keys a row gives
// each real index, the checks that refuse it (a duplicate in a unique
// index, a missing value in a required one) made before anything is
// written, then its entries added once the row has its place. Rows with
// every indexed column NULL are left out of ignore-nulls indexes; NULLs
// never count as duplicates. Relies on index_row_keys and index_btree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "append_state.h"
#include "database_state.h"
#include "index_row_keys.h"
#include "jet/schema.h"

namespace fennick::jet {

struct MaintainedIndex {
  std::size_t realIndex = 0;  // position in TableDefinition::realIndexes
  std::vector<KeyPart> parts;
  std::string name;           // a logical index using it (the primary key first)
  std::string what;           // "index \"Name\" of table \"T\"", for messages
};

// The table's real indexes with their key columns.
std::vector<MaintainedIndex> maintainedIndexes(const TableDefinition& def);
std::string describeIndex(const TableDefinition& def, std::size_t realIndex);

struct RowKeys {
  std::vector<std::vector<std::uint8_t>> keys;  // per maintained index
  std::vector<bool> entered;                    // false: the row stays out of that index
};

// Computes the row's keys and makes every check. Throws Error naming the
// index and the table when the row is refused; changes nothing.
void prepareIndexEntries(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                         const std::vector<Value>& values, RowKeys& keys);
// Adds the prepared entries pointing at `row`.
void addIndexEntries(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                     const RowKeys& keys, RowLocation row);

// The row as it will be stored when its autonumber columns are NULL: the
// numbers the append will give them, so that its keys hold them. False
// (and `out` untouched) when there is nothing to number.
bool numberRowForIndexes(const AppendState& state, const std::vector<Value>& values, std::vector<Value>& out);

// The append hook: the same, for the table's current definition.
class RowIndexing {
 public:
  RowIndexing(DatabaseState& db, const TableDefinition& def) : db_(db), def_(def), indexes_(maintainedIndexes(def)) {}
  bool active() const { return !indexes_.empty(); }
  void check(const std::vector<Value>& values) { prepareIndexEntries(db_, def_, indexes_, values, keys_); }
  void add(RowLocation row) { addIndexEntries(db_, def_, indexes_, keys_, row); }

 private:
  DatabaseState& db_;
  const TableDefinition& def_;
  std::vector<MaintainedIndex> indexes_;
  RowKeys keys_;
};

}  // namespace fennick::jet
