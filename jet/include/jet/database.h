// The public face of the Jet engine: open a .mdb file, see its format and
// tables, read a table's definition and stream its rows.
//
//   auto db = jet::Database::open(path, jet::OpenMode::ReadOnly);
//   for (const auto& t : db.tables()) ...
//   auto rows = db.openCursor("Orders");
//   while (rows.next()) use(rows.values());
//
// A Database is movable, not copyable; cursors keep it alive internally, so
// a cursor may outlive the Database object that made it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/value.h"
#include "jet/error.h"
#include "jet/schema.h"

namespace fennick::jet {

enum class OpenMode { ReadOnly, ReadWrite };
enum class FormatVersion { Jet3, Jet4 };

struct DatabaseInfo {
  FormatVersion version = FormatVersion::Jet4;
  std::string formatName;        // "Jet 3 (Access 97)", "Jet 4 (Access 2000)"
  std::uint32_t pageSize = 0;
  std::uint64_t pageCount = 0;
  std::uint16_t codePage = 0;    // text of Jet 3 files is in this code page
  std::uint16_t collation = 0;   // sort order id (0x409 = General)
  std::uint16_t collationVersion = 0;
  std::optional<fennick::DateTime> created;  // Jet 4 only
};

// What the commits of one handle have written, for benchmarks and logs.
struct CommitStatistics {
  std::uint64_t commits = 0;
  std::uint64_t pagesWritten = 0;    // changed and new pages written to the file
  std::uint64_t pagesJournaled = 0;  // original images saved first
};

struct TableEntry {
  std::string name;
  std::uint32_t definitionPage = 0;
  std::uint32_t flags = 0;   // MSysObjects.Flags
  bool system = false;
};

// Where a row lives: a data page and a slot in its row table.
struct RowLocation {
  std::uint32_t page = 0;
  std::uint16_t row = 0;
  friend bool operator==(const RowLocation&, const RowLocation&) = default;
};

// A column of a table to be created. Text (length in characters) and
// Binary (length in bytes) hold 1 to 255; Boolean, Byte, Integer, Long,
// Currency, Single, Double, DateTime, GUID, Memo and OLE need no length;
// Numeric (Jet 4 only) needs a precision of 1 to 28 digits and a scale up
// to the precision. An autonumber column is a Long the engine numbers: a
// NULL gets the next number, a given one is kept and the numbering goes on
// after it. A required column refuses NULL.
struct NewColumn {
  std::string name;
  ColumnType type = ColumnType::Long;
  std::uint16_t length = 0;
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
  bool autoNumber = false;
  bool required = false;
};

// An index to be created on a table's columns (1 to 10, each ascending or
// descending). A primary key is also unique and required; unique refuses a
// second row with the same key (rows with a NULL in it excepted); required
// refuses NULL in any of its columns; ignoreNulls leaves rows whose indexed
// columns are all NULL out of the index.
struct NewIndexColumn {
  std::string name;
  bool ascending = true;
};
struct NewIndex {
  std::string name;
  std::vector<NewIndexColumn> columns;
  bool unique = false;
  bool primary = false;
  bool ignoreNulls = false;
  bool required = false;
};

class DatabaseState;  // shared by a database and its cursors
class TableScan;

// Reads a table front to back, one row at a time, holding one row's values.
class RowCursor {
 public:
  RowCursor(RowCursor&&) noexcept;
  RowCursor& operator=(RowCursor&&) noexcept;
  ~RowCursor();

  // Advances to the next live row; false at the end of the table.
  bool next();
  // Reads the row filed at `where` (as an index entry names it) and makes
  // it current; false when that slot holds no live row of this table. The
  // scan position of next() is not changed.
  bool seek(RowLocation where);
  // The current row's values, one per column in TableDefinition::columns
  // order.
  const std::vector<fennick::Value>& values() const;
  // Where the current row is filed: its slot in a data page's row table, as
  // index entries point to it (a row moved to another page keeps its slot,
  // which then holds a pointer to the data).
  RowLocation location() const;
  const TableDefinition& definition() const;

 private:
  friend class Database;
  explicit RowCursor(std::unique_ptr<TableScan> scan);
  std::unique_ptr<TableScan> scan_;
};

class Database {
 public:
  // Throws Error naming the file when it cannot be opened or is not a
  // Jet 3 / Jet 4 database.
  static Database open(const std::string& utf8Path, OpenMode mode);

  Database(Database&&) noexcept;
  Database& operator=(Database&&) noexcept;
  ~Database();

  const std::string& path() const;
  const DatabaseInfo& info() const;
  // Every table in catalogue order, user and system tables alike.
  const std::vector<TableEntry>& tables() const;
  // Throws Error when there is no such table (name compared ignoring ASCII case).
  const TableEntry& table(std::string_view name) const;
  TableDefinition definition(std::string_view tableName) const;
  RowCursor openCursor(std::string_view tableName) const;
  RowCursor openCursor(const TableDefinition& definition) const;

  // Transactions, on a database opened ReadWrite: the changes made between
  // beginTransaction() and commit() reach the file together or not at all,
  // also when the process dies during commit (a journal beside the file,
  // "<file>.fjournal", is played back the next time it is opened).
  // rollback() forgets them. Throw Error naming the file when misused.
  void beginTransaction();
  void commit();
  void rollback();
  const CommitStatistics& commitStatistics() const;
  // Index entries of appended rows are held back and go into their trees
  // many commits at a time (jet/README.md); the committed rows
  // hold them all the same. flush() writes them now, outside a
  // transaction, and throws Error when that fails. It also happens when the
  // handle closes (a failure there leaves them to be written at the next
  // opening for writing), when many are held, and inside the transaction
  // before anything that reshapes tables or indexes.
  void flush();

  // Inside a transaction: a new table with its catalogue rows, permissions
  // and catalogue index entries (no indexes of its own yet), and plain rows
  // appended to a table, one value per column in definition order. Throw
  // Error naming the table and column for what Jet does not allow or this
  // engine does not write yet.
  void createTable(std::string_view name, const std::vector<NewColumn>& columns);
  // Removes a user table with its catalogue rows and gives its pages back
  // for the next table; refused for system tables and for tables in a
  // relationship.
  void dropTable(std::string_view name);
  // An appended row also gets its entry in each of the table's indexes; a
  // row a unique or required index refuses throws Error naming the index
  // and the table and leaves table and indexes as they were.
  void appendRow(std::string_view table, const std::vector<fennick::Value>& values);

  // Inside a transaction: a new index on a table, empty or filled (its
  // entries built from the rows; a unique or required index the rows break
  // throws Error and changes nothing). Logical indexes on the same columns
  // in the same order, with the same uniqueness and null handling, share
  // one stored index, as Jet does. dropIndex removes the named index, and
  // its stored index when no other uses it.
  void createIndex(std::string_view table, const NewIndex& index);
  void dropIndex(std::string_view table, std::string_view indexName);

  // Checks every index of the table against its rows (order, links, one
  // entry per row holding that row's key); returns the problems found,
  // empty when all is right.
  std::vector<std::string> checkIndexes(std::string_view table) const;

 private:
  friend class DatabaseInternals;  // the engine's own layers reach the state
  explicit Database(std::shared_ptr<DatabaseState> state);
  std::shared_ptr<DatabaseState> state_;
};

}  // namespace fennick::jet
