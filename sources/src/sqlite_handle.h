// Owning handles for SQLite's connection and statement objects, and the
// error text of a failed call. Private to the SQLite source.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include <sqlite3.h>

namespace fennick {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The connection with the lock every use of it takes: a dataset reads
// ahead on a thread of its own, and the connection is opened without
// SQLite's own locking. Shared: every dataset keeps it alive while it reads.
struct SqliteConnection {
  explicit SqliteConnection(sqlite3* raw) : db(raw) {}
  std::unique_ptr<sqlite3, SqliteCloser> db;
  std::mutex lock;
};
using SqliteDatabase = std::shared_ptr<SqliteConnection>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

inline std::string sqliteMessage(sqlite3* db) {
  return db ? sqlite3_errmsg(db) : "out of memory";
}

// Makes the catalogue views of an Oracle schema on the connection's TEMP
// schema (the user's file is not changed). Throws with SQLite's message.
void installOracleCatalogue(sqlite3* db);

}  // namespace fennick
