// Opening a database and the public handle and cursor.
#include "jet/database.h"

#include <array>

#include "catalog.h"
#include "core/utf.h"
#include "database_state.h"
#include "table_definition.h"
#include "index_catch_up.h"
#include "index_check.h"
#include "index_writer.h"
#include "table_scan.h"
#include "table_dropper.h"
#include "table_writer.h"
#include "platform/clock.h"

namespace fennick::jet {

Database Database::open(const std::string& utf8Path, OpenMode mode) {
  // A writer records itself beside the file first, and leaves the file alone
  // while another program has it open.
  std::optional<LockFile> lock;
  if (mode == OpenMode::ReadWrite) {
    if (!platform::isRegularFile(utf8Path)) platform::File::open(utf8Path, platform::File::Mode::ReadOnly);  // its error
    lock = LockFile::acquire(utf8Path);
  }
  platform::File file = platform::File::open(
      utf8Path, mode == OpenMode::ReadOnly ? platform::File::Mode::ReadOnly : platform::File::Mode::ReadWrite);
  std::array<std::uint8_t, 32> start{};
  const std::size_t got = file.readAt(0, start.data(), start.size());
  const Format& format = detectFormat(std::span(start.data(), got), utf8Path);
  Pager pager = mode == OpenMode::ReadWrite ? Pager::writable(std::move(file), format) : Pager(std::move(file), format);
  // A commit cut short leaves its journal: undo it first (in memory only
  // when opened read-only), so we only ever see committed states.
  if (auto journal = readJournal(utf8Path, format.pageSize)) pager.recover(*journal);
  else if (mode == OpenMode::ReadWrite) discardJournal(utf8Path);
  if (pager.pageCount() < 1)
    throw Error("The database file \"" + utf8Path + "\" is damaged: it is shorter than one page.");
  const PageRef page0 = pager.page(0);
  const Header header = parseHeader(page0->bytes(), utf8Path);
  if (header.databaseKey != 0)
    throw Error("The database file \"" + utf8Path + "\" is encrypted, which is not supported.");

  auto state = std::make_shared<DatabaseState>(std::move(pager), header);
  state->lock = std::move(lock);
  DatabaseInfo& info = state->info;
  info.version = format.version == 3 ? FormatVersion::Jet3 : FormatVersion::Jet4;
  info.formatName = format.name;
  info.pageSize = format.pageSize;
  info.pageCount = state->pager.pageCount();
  info.codePage = header.codePage;
  info.collation = header.collation;
  info.collationVersion = header.collationVersion;
  info.created = header.created;
  state->tables = readCatalog(state);
  // Index entries a writer held back when it was cut short: made from the
  // rows now (a read-only handle sees the indexes as the file has them).
  if (mode == OpenMode::ReadWrite) catchUpListedTables(state);
  else state->listedTables = tablesListed(utf8Path);
  return Database(std::move(state));
}

Database::Database(std::shared_ptr<DatabaseState> state) : state_(std::move(state)) {}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    if (state_) settleOnClose(*state_);
    state_ = std::move(other.state_);
  }
  return *this;
}
Database::~Database() {
  if (state_) settleOnClose(*state_);
}

const std::string& Database::path() const { return state_->pager.path(); }
const DatabaseInfo& Database::info() const { return state_->info; }
const std::vector<TableEntry>& Database::tables() const { return state_->tables; }

const TableEntry& Database::table(std::string_view name) const {
  for (const auto& t : state_->tables)
    if (fennick::equalsIgnoreAsciiCase(t.name, name)) return t;
  throw Error("The database \"" + path() + "\" has no table \"" + std::string(name) + "\".");
}

TableDefinition Database::definition(std::string_view tableName) const {
  const TableEntry& entry = table(tableName);
  TableDefinition def = readTableDefinition(state_->pager, state_->text, entry.definitionPage, entry.name);
  def.systemTable = def.systemTable || entry.system;
  return def;
}

void Database::beginTransaction() { state_->pager.beginTransaction(); }
void Database::commit() {
  if (!state_->pager.inTransaction()) throw Error("There is no open transaction on \"" + path() + "\" to commit.");
  listTablesLeftOut(*state_);
  state_->pager.commit();
  state_->info.pageCount = state_->pager.pageCount();
  afterCommit(*state_);
}
void Database::flush() {
  if (state_->pager.inTransaction()) throw Error("Writing out the index entries of \"" + path() + "\" needs the transaction to end first.");
  settleHeldEntries(*state_);
}

const CommitStatistics& Database::commitStatistics() const { return state_->pager.commitStatistics(); }

void Database::rollback() {
  state_->pager.rollback();
  state_->pendingIndexes.rollback();
  state_->appending.forget();  // its pages and counters were the transaction's
  state_->rowRules.forget();
  state_->indexPages.discard();
  state_->tables = readCatalog(state_);  // forget tables the transaction created
}

void Database::createTable(std::string_view name, const std::vector<NewColumn>& columns) {
  if (!state_->pager.inTransaction()) throw Error("Creating a table in \"" + path() + "\" needs an open transaction.");
  writeHeldEntries(*state_);
  jet::createTable(state_, std::string(name), columns, platform::localNow());
}

void Database::dropTable(std::string_view name) {
  if (!state_->pager.inTransaction()) throw Error("Dropping a table in \"" + path() + "\" needs an open transaction.");
  writeHeldEntries(*state_);
  jet::dropTable(state_, std::string(name));
}

void Database::appendRow(std::string_view tableName, const std::vector<fennick::Value>& values) {
  if (!state_->pager.inTransaction()) throw Error("Adding a row to \"" + path() + "\" needs an open transaction.");
  jet::appendRow(state_, tableName, values);
}

void Database::createIndex(std::string_view tableName, const NewIndex& index) {
  if (!state_->pager.inTransaction()) throw Error("Creating an index in \"" + path() + "\" needs an open transaction.");
  writeHeldEntries(*state_);
  jet::createIndex(state_, tableName, index);
}

void Database::dropIndex(std::string_view tableName, std::string_view indexName) {
  if (!state_->pager.inTransaction()) throw Error("Dropping an index in \"" + path() + "\" needs an open transaction.");
  writeHeldEntries(*state_);
  jet::dropIndex(state_, tableName, indexName);
}

std::vector<std::string> Database::checkIndexes(std::string_view tableName) const {
  // The trees are checked as they will be once the held entries are in.
  if (state_->pager.inTransaction()) writeHeldEntries(*state_);
  else settleHeldEntries(*state_);
  const TableDefinition def = definition(tableName);
  std::vector<std::string> problems = checkTableIndexes(state_, def);
  if (!state_->pager.writable() && listsTable(state_->listedTables, def.definitionPage))
    problems.insert(problems.begin(), "The indexes of table \"" + def.name +
                                          "\" may lack entries of rows a writer added before it was cut short; "
                                          "opening the file for writing brings them in line.");
  return problems;
}

RowCursor Database::openCursor(std::string_view tableName) const { return openCursor(definition(tableName)); }

RowCursor Database::openCursor(const TableDefinition& definition) const {
  return RowCursor(std::make_unique<TableScan>(state_, definition));
}

RowCursor::RowCursor(std::unique_ptr<TableScan> scan) : scan_(std::move(scan)) {}
RowCursor::RowCursor(RowCursor&&) noexcept = default;
RowCursor& RowCursor::operator=(RowCursor&&) noexcept = default;
RowCursor::~RowCursor() = default;
bool RowCursor::next() { return scan_->next(); }
bool RowCursor::seek(RowLocation where) { return scan_->seek(where); }
const std::vector<fennick::Value>& RowCursor::values() const { return scan_->values(); }
RowLocation RowCursor::location() const { return scan_->location(); }
const TableDefinition& RowCursor::definition() const { return scan_->definition(); }

}  // namespace fennick::jet
