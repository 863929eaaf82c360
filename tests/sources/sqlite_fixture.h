// Small SQLite files for the source tests, written with SQLite itself in
// the test's scratch folder.
#pragma once

#include <stdexcept>
#include <string>

#include <sqlite3.h>

#include "test_support.h"

namespace fennick::test {

// Runs the script into a new file `name` and returns its path.
inline std::string createSqliteFile(const std::string& name, const std::string& script) {
  const std::string path = joinPath(scratchDir(), name);
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot create " + path);
  }
  char* error = nullptr;
  const int status = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (status != SQLITE_OK) throw std::runtime_error("script failed: " + message);
  return path;
}

}  // namespace fennick::test
