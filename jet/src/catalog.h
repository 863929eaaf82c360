// The catalogue: MSysObjects, whose definition is always on page 2, lists
// every object; its local tables (type 1) give each table's name and first
// definition page. Relies on table_definition.h and table_scan.h.
#pragma once

#include <memory>
#include <vector>

#include "database_state.h"

namespace fennick::jet {

constexpr std::uint32_t kCatalogDefinitionPage = 2;

std::vector<TableEntry> readCatalog(const std::shared_ptr<DatabaseState>& db);

}  // namespace fennick::jet
