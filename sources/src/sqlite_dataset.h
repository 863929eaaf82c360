// A query's rows on an SQLite connection as a forward-only SourceDataset.
// Private to the SQLite source.
#pragma once

#include <memory>
#include <string>

#include "sources/source.h"
#include "sqlite_handle.h"

namespace fennick {

// Prepares one statement and steps to its first row. Errors are thrown as
// "<source>: <SQLite's message>".
std::unique_ptr<SourceDataset> runSqliteQuery(SqliteDatabase db, const std::string& sql,
                                              const std::string& sourceName);

}  // namespace fennick
