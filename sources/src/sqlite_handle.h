// Owning handles for SQLite's connection and statement objects, and the
// error text of a failed call. Private to the SQLite source.
#pragma once

#include <memory>
#include <string>

#include <sqlite3.h>

namespace fennick {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// Shared: every dataset keeps the connection alive while it reads.
using SqliteDatabase = std::shared_ptr<sqlite3>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

inline std::string sqliteMessage(sqlite3* db) {
  return db ? sqlite3_errmsg(db) : "out of memory";
}

// Makes the catalogue views of an Oracle schema on the connection's TEMP
// schema (the user's file is not changed). Throws with SQLite's message.
void installOracleCatalogue(sqlite3* db);

}  // namespace fennick
