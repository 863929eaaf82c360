// Verifying a table's indexes against its rows: for every real index, the
// tree's shape (entries in order on every page, each intermediate entry
// equal to the last entry below it, all leaves at one depth, the links of
// each level both ways, a tail that is the last leaf) and its content
// (one entry per row, left out only where an ignore-nulls index leaves out
// an all-NULL row, each entry the key of the row it points at). Relies on
// index_page, index_maintenance and table_scan.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database_state.h"

namespace fennick::jet {

// Problems found, each naming the index; empty when every index is right.
std::vector<std::string> checkTableIndexes(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def);

}  // namespace fennick::jet
