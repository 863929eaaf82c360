// The target side of a conversion: the Access database being filled.
//
// TargetConnection is `accconnection` with its statement command
// (`accesssql`) and its appending rowset (`accdataset`). The database behind
// it is reached through a TargetDatabase, which our Jet engine implements;
// tests may supply their own.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/value.h"

namespace fennick {

// An open rowset on one statement: the fields of the table it selects and,
// for appending, a row being built.
class TargetCursor {
 public:
  virtual ~TargetCursor() = default;
  virtual std::size_t fieldCount() const = 0;
  virtual const std::string& fieldName(std::size_t index) const = 0;
  // Starts a new row with every field unset.
  virtual void append() = 0;
  // Sets a field of the new row, by name without regard to case, converted
  // to the column's type; throws (leaving the field unset) when there is no
  // such field or the value cannot be converted.
  virtual void setField(std::string_view name, const Value& value) = 0;
  // Writes the new row; throws with the database's message when refused.
  virtual void post() = 0;
};

class TargetDatabase {
 public:
  virtual ~TargetDatabase() = default;
  // Runs one Jet SQL statement; any result set is ignored.
  virtual void execute(const std::string& sql) = 0;
  // Opens a rowset on a SELECT statement; throws when it refers to a
  // missing table.
  virtual std::unique_ptr<TargetCursor> openCursor(const std::string& sql) = 0;
  virtual void beginTransaction() = 0;
  virtual void commitTransaction() = 0;
  // Outside a transaction: writes out what the database holds back between
  // commits (our engine: the index entries of appended rows), so that other
  // programs find the file complete. Nothing by default.
  virtual void finishWrites() {}
};

// Opens the database file at a path (the path as typed).
using TargetOpener = std::function<std::unique_ptr<TargetDatabase>(const std::string& path)>;

// The opener of our own Jet engine, which every program uses.
TargetOpener jetTargetOpener();

// `accesssql`: a statement text and its execution.
class TargetCommand {
 public:
  explicit TargetCommand(class TargetConnection& connection) : connection_(connection) {}
  void setText(std::string sql) { text_ = std::move(sql); }
  const std::string& text() const { return text_; }
  void execute();

 private:
  TargetConnection& connection_;
  std::string text_;
};

// `accdataset`: close, set the statement, open; then append, set fields,
// post; close and open again for a fresh rowset.
class TargetRowset {
 public:
  explicit TargetRowset(class TargetConnection& connection) : connection_(connection) {}
  void close() { cursor_.reset(); }
  void setText(std::string sql) { text_ = std::move(sql); }
  const std::string& text() const { return text_; }
  void open();
  bool isOpen() const { return cursor_ != nullptr; }

  std::size_t fieldCount() const;
  const std::string& fieldName(std::size_t index) const;
  void append();
  void setField(std::string_view name, const Value& value);
  void post();

 private:
  TargetCursor& cursor() const;
  TargetConnection& connection_;
  std::string text_;
  std::unique_ptr<TargetCursor> cursor_;
};

class TargetConnection {
 public:
  explicit TargetConnection(TargetOpener opener);
  ~TargetConnection();

  // Closes, builds the connection string for the path and opens it. Errors
  // pass out with the database's message.
  void open(const std::string& path);
  void close();
  bool isOpen() const { return database_ != nullptr; }
  const std::string& connectionString() const { return connectionString_; }

  TargetCommand& accesssql() { return accesssql_; }
  TargetRowset& accdataset() { return accdataset_; }

  void begin();
  void commit();
  // After the last commit of a table's rows: see TargetDatabase::finishWrites.
  void finishWrites();

  // The open database; throws when the connection is closed.
  TargetDatabase& database();

 private:
  TargetOpener opener_;
  std::string connectionString_;
  std::unique_ptr<TargetDatabase> database_;
  TargetCommand accesssql_{*this};
  TargetRowset accdataset_{*this};
};

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
// ";Persist Security Info=False", the path as typed.
std::string targetConnectionString(const std::string& path);

}  // namespace fennick
