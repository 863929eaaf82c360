// The SQLite source's driver: opens the file read-only after checking that
// it is an SQLite database, installs the Oracle catalogue views and runs
// queries. Relies on platform/file.h for the check and sqlite_catalogue.cpp
// for the views.
#include <cstring>
#include <stdexcept>

#include "platform/file.h"
#include "sources/sqlite.h"
#include "sqlite_dataset.h"
#include "sqlite_handle.h"

namespace fennick {

namespace {

class SqliteDriver final : public SourceDriver {
 public:
  SqliteDriver(SqliteDatabase db, std::string sourceName)
      : db_(std::move(db)), sourceName_(std::move(sourceName)) {}

  std::unique_ptr<SourceDataset> query(const std::string& sql) override {
    return runSqliteQuery(db_, sql, sourceName_);
  }

 private:
  SqliteDatabase db_;
  std::string sourceName_;
};

// Every SQLite database file starts with this 16-byte header string. An
// empty file would open as an empty database; it is refused as well.
void checkHeader(const std::string& path) {
  static constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
  if (!platform::isRegularFile(path))
    throw std::runtime_error("The SQLite source file \"" + path + "\" does not exist");
  const platform::File file = platform::File::open(path, platform::File::Mode::ReadOnly);
  char header[sizeof kMagic] = {};
  if (file.readAt(0, header, sizeof header) != sizeof header ||
      std::memcmp(header, kMagic, sizeof kMagic) != 0)
    throw std::runtime_error("The file \"" + path + "\" is not an SQLite database");
}

}  // namespace

std::unique_ptr<SourceDriver> openSqliteDriver(const std::string& utf8Path) {
  checkHeader(utf8Path);
  const std::string sourceName = "SQLite source \"" + utf8Path + "\"";
  sqlite3* raw = nullptr;
  const int status = sqlite3_open_v2(utf8Path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  auto db = std::make_shared<SqliteConnection>(raw);
  if (status != SQLITE_OK)
    throw std::runtime_error("Cannot open the " + sourceName + ": " + sqliteMessage(raw));
  sqlite3_extended_result_codes(raw, 1);
  try {
    installOracleCatalogue(raw);
  } catch (const std::exception& e) {
    throw std::runtime_error("Cannot read the " + sourceName + ": " + e.what());
  }
  return std::make_unique<SqliteDriver>(std::move(db), sourceName);
}

}  // namespace fennick
