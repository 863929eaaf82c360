// The embedded SQLite source: a read-only SQLite file that answers the
// catalogue queries of an Oracle schema (user_tables, user_tab_columns,
// user_indexes, user_ind_columns) and returns values with Oracle's kinds.
// See sources/README.md for how declared types are read.
#pragma once

#include <memory>
#include <string>

#include "sources/source.h"

namespace fennick {

// Opens an existing SQLite file read-only (it is never created or changed).
// Throws naming the file when it is missing or is not an SQLite database.
std::unique_ptr<SourceDriver> openSqliteDriver(const std::string& utf8Path);

}  // namespace fennick
