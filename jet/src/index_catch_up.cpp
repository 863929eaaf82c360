// The list of tables whose indexes lag their rows, and catching them up.
#include "index_catch_up.h"

#include <algorithm>
#include <sstream>

#include "index_btree.h"
#include "index_maintenance.h"
#include "jet/error.h"
#include "platform/file.h"
#include "table_definition.h"
#include "table_scan.h"

namespace fennick::jet {
namespace {

constexpr const char* kListHeader = "fennick index list 1";

void writeList(const std::string& databasePath, const std::vector<std::uint32_t>& tables) {
  std::string text = std::string(kListHeader) + "\n";
  for (std::uint32_t t : tables) text += std::to_string(t) + "\n";
  const std::string path = indexListPath(databasePath), temporary = path + ".new";
  {
    platform::File file = platform::File::open(temporary, platform::File::Mode::CreateExclusive);
    file.writeAt(0, text.data(), text.size());
    file.sync();
  }
  platform::replaceFile(temporary, path);
}

// Gives up the open transaction of index work: its pages, the trees'
// decoded pages, and the held entries it wrote (the committed ones are
// held again).
void abandonIndexWork(DatabaseState& db) {
  db.pager.rollback();
  db.pendingIndexes.rollback();
  db.indexPages.discard();
}

void removeList(DatabaseState& db) {
  if (db.listedTables.empty()) return;
  platform::removeFile(indexListPath(db.pager.path()));
  db.listedTables.clear();
}

}  // namespace

std::string indexListPath(const std::string& databasePath) { return databasePath + ".findex"; }

bool listsTable(const std::vector<std::uint32_t>& listed, std::uint32_t definitionPage) {
  return std::find(listed.begin(), listed.end(), definitionPage) != listed.end() ||
         std::find(listed.begin(), listed.end(), kEveryTable) != listed.end();
}

std::vector<std::uint32_t> tablesListed(const std::string& databasePath) {
  const std::string path = indexListPath(databasePath);
  if (!platform::isRegularFile(path)) return {};
  // A list that cannot be read names every table: catching up a table
  // whose indexes are complete only costs time.
  const std::vector<std::uint32_t> everyTable = {kEveryTable};
  std::istringstream in(platform::readWholeFile(path));
  std::string line;
  if (!std::getline(in, line) || line != kListHeader) return everyTable;
  std::vector<std::uint32_t> tables;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::uint64_t page = 0;
    for (const char c : line) {
      if (c < '0' || c > '9' || page > 0xFFFFFF) return everyTable;
      page = page * 10 + static_cast<std::uint64_t>(c - '0');
    }
    tables.push_back(static_cast<std::uint32_t>(page));
  }
  return tables;
}

void listTablesLeftOut(DatabaseState& db) {
  std::vector<std::uint32_t> wanted = db.listedTables;
  for (std::uint32_t t : db.pendingIndexes.tablesLeftOut())
    if (std::find(wanted.begin(), wanted.end(), t) == wanted.end()) wanted.push_back(t);
  if (wanted.size() == db.listedTables.size()) return;
  std::sort(wanted.begin(), wanted.end());
  writeList(db.pager.path(), wanted);
  db.listedTables = std::move(wanted);
}

void afterCommit(DatabaseState& db) {
  db.pendingIndexes.commit();
  if (db.pendingIndexes.empty()) {
    removeList(db);
  } else if (db.pendingIndexes.bytes() > kMaxHeldIndexBytes) {
    // The commit itself has succeeded and must not be reported as failed:
    // should this fail, it is tried again after the next commit, and the
    // list names the tables meanwhile.
    try {
      settleHeldEntries(db);
    } catch (const std::exception&) {
    }
  }
}

void writeHeldEntries(DatabaseState& db) {
  if (!db.pendingIndexes.empty()) db.pendingIndexes.writeInto(db.pager, db.indexPages);
}

void settleHeldEntries(DatabaseState& db) {
  if (db.pendingIndexes.empty()) return;
  db.pager.beginTransaction();
  try {
    writeHeldEntries(db);
    db.pager.commit();
  } catch (...) {
    abandonIndexWork(db);
    throw;
  }
  db.info.pageCount = db.pager.pageCount();
  afterCommit(db);
}

void settleOnClose(DatabaseState& db) noexcept {
  try {
    if (db.pager.inTransaction()) abandonIndexWork(db);
    settleHeldEntries(db);
  } catch (...) {
    // The list beside the file names what is still left out.
  }
}

void catchUpListedTables(const std::shared_ptr<DatabaseState>& db) {
  db->listedTables = tablesListed(db->pager.path());
  if (db->listedTables.empty()) return;
  db->pager.beginTransaction();
  try {
    for (const TableEntry& table : db->tables) {
      if (!listsTable(db->listedTables, table.definitionPage)) continue;  // tables dropped since are gone
      const TableDefinition def = readTableDefinition(db->pager, db->text, table.definitionPage, table.name);
      const std::vector<MaintainedIndex> indexes = maintainedIndexes(def);
      std::vector<std::uint8_t> key;
      for (TableScan scan(db, def); scan.next();) {
        for (const MaintainedIndex& m : indexes) {
          const RealIndex& real = def.realIndexes[m.realIndex];
          if (!rowKeyFor(*db, real, m, scan.values(), key)) continue;
          IndexTree(db->pager, real.firstPage, real.usageMapPointer, m.what, db->indexPages).insert(key, scan.location());
        }
      }
    }
    db->pager.commit();
  } catch (...) {
    abandonIndexWork(*db);
    throw;
  }
  db->info.pageCount = db->pager.pageCount();
  removeList(*db);
}

}  // namespace fennick::jet
