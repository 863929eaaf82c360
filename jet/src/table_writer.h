// Creating tables and appending rows, inside the pager's open transaction.
// A new table gets its definition page, its used and free-space map rows,
// an MSysObjects row (Id = its definition page), the MSysACEs rows the
// Tables container passes on, and entries in the catalogue's indexes; the
// catalogue's row and index counts follow; Memo and OLE columns get their
// own map pairs. Appended rows go through table_appender: the table's last
// data page while it has room, else a new page recorded in both its maps. Relies on the writers below it and on table_scan for reading
// the catalogue.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database_state.h"

namespace fennick::jet {

void createTable(const std::shared_ptr<DatabaseState>& db, const std::string& name,
                 const std::vector<NewColumn>& columns, const DateTime& created);

void appendRow(const std::shared_ptr<DatabaseState>& db, std::string_view table, const std::vector<Value>& values);

// The table's row count and each of its real indexes' counts change by
// `delta` (never below zero).
void addToCounts(Pager& pager, const TableDefinition& def, std::int64_t delta);

}  // namespace fennick::jet
