// The conversion's target over our own Jet engine: a TargetDatabase that
// reads the file with jet::Database, understands statements with the Jet
// SQL front end, converts field values to their columns' types, and hands
// everything that changes the file to a JetWriter.
//
// The writing half of the engine plugs in by implementing JetWriter and
// returning it from the factory in jet_target.cpp; until then statements
// that change the file and posted rows are refused with a clear message.
// Relies on engine/target.h, jet/database.h and jet_sql/statement.h.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/value.h"
#include "engine/target.h"
#include "jet/database.h"
#include "jet_sql/statement.h"

namespace fennick {

// What the adapter needs from the engine's writing half.
class JetWriter {
 public:
  virtual ~JetWriter() = default;
  // CREATE TABLE, DROP TABLE, CREATE INDEX or DROP INDEX, parsed for the
  // file's format; the tables they name have been checked to exist (or,
  // for CREATE TABLE, not to exist). Afterwards the reader must see the
  // change: the adapter reads definitions from it for every new rowset.
  virtual void execute(const jet::sql::Statement& statement) = 0;
  // One new row of `table`: an entry per column in definition order, empty
  // for a field never set (the column's default or AutoNumber applies), else
  // the value already converted by convertForColumn. Checks the row as a
  // whole (required fields, unique indexes) and throws with Jet's message.
  // The writer may move the values out of `fields`.
  virtual void appendRow(const jet::TableDefinition& table, std::vector<std::optional<Value>>& fields) = 0;
  virtual void beginTransaction() = 0;
  virtual void commitTransaction() = 0;
  // Outside a transaction: what the database holds back, written out.
  virtual void finishWrites() {}
};

// Makes the writer for a database just opened; `readOnly` when the file
// could only be opened for reading. Returns nothing when there is no writer.
using JetWriterFactory =
    std::function<std::unique_ptr<JetWriter>(jet::Database& database, bool readOnly)>;

// The writer every program uses.
JetWriterFactory defaultJetWriterFactory();

// Opens the file at `path` (UTF-8, as typed) for reading and writing in
// shared mode, or for reading only when the file allows nothing else.
// Throws with the engine's message when it is missing or not a Jet 3 /
// Jet 4 database.
std::unique_ptr<TargetDatabase> openJetTarget(const std::string& path,
                                              const JetWriterFactory& makeWriter);

}  // namespace fennick
