// What one open database shares between its handle and its cursors: the
// pager, the text codec, the header settings, the catalogue and the
// tables' append state, the index entries held back.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "append_state.h"
#include "header.h"
#include "index_page_cache.h"
#include "jet/database.h"
#include "lock_file.h"
#include "pager.h"
#include "pending_index_entries.h"
#include "row_rules.h"
#include "text.h"

namespace fennick::jet {

class DatabaseState {
 public:
  DatabaseState(Pager pager, Header header)
      : pager(std::move(pager)), header(header), text{header.format, header.codePage} {}

  // Declared first, so the entry is given up after the file is closed.
  std::optional<LockFile> lock;
  Pager pager;
  Header header;
  TextCodec text;
  DatabaseInfo info;
  std::vector<TableEntry> tables;
  AppendStates appending;
  RowRuleState rowRules;  // forgotten with the transaction, like the append state
  IndexPageCache indexPages;  // cleared on rollback
  PendingIndexEntries pendingIndexes;
  std::vector<std::uint32_t> listedTables;  // what the list of lagging tables beside the file names
};

// The state behind a handle, for the engine's own layers and their tests.
class DatabaseInternals {
 public:
  static DatabaseState& of(Database& database) { return *database.state_; }
  static std::shared_ptr<DatabaseState> shared(Database& database) { return database.state_; }
};

}  // namespace fennick::jet
