// Dropping a user table inside the pager's open transaction: its MSysObjects
// row and MSysACEs rows deleted with their catalogue index entries, the
// catalogue's counts lowered, its page-map rows deleted and every page it
// owned (definition, data, long values, index pages, map pages) marked free
// in the global map for the next table. A table that takes part in a
// relationship is refused, as Jet refuses it. Relies on table_scan,
// data_page_writer, index_btree, catalog_keys and page_allocator.
#pragma once

#include <memory>
#include <string>

#include "database_state.h"

namespace fennick::jet {

void dropTable(const std::shared_ptr<DatabaseState>& db, const std::string& name);

}  // namespace fennick::jet
