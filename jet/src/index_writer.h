// Creating and dropping a table's indexes inside the pager's open
// transaction. The table definition gets (or loses) the real index record
// with its row-count slot, the logical index record and its name, spliced
// into the stored bytes so that everything else in it stays as it was; the
// definition moves onto more (or fewer) pages as it grows (or shrinks). A
// new real index gets a usage-map row and a tree built from the table's
// rows, every key computed and checked before any page changes. Relies on
// index_maintenance, index_btree, table_definition(_writer),
// usage_map_writer and table_scan.
#pragma once

#include <memory>
#include <string_view>

#include "database_state.h"

namespace fennick::jet {

void createIndex(const std::shared_ptr<DatabaseState>& db, std::string_view table, const NewIndex& index);
void dropIndex(const std::shared_ptr<DatabaseState>& db, std::string_view table, std::string_view indexName);

}  // namespace fennick::jet
