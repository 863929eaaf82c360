// Table removal. Relies on the layers named in table_dropper.h.
#include "table_dropper.h"

#include <algorithm>
#include <set>

#include "bytes.h"
#include "catalog_keys.h"
#include "core/utf.h"
#include "data_page.h"
#include "data_page_writer.h"
#include "index_btree.h"
#include "jet/error.h"
#include "page_allocator.h"
#include "table_definition.h"
#include "table_scan.h"
#include "table_writer.h"
#include "usage_map.h"

namespace fennick::jet {
namespace {

constexpr std::int32_t kTablesContainerId = 0x0F000001;

const TableEntry& catalogEntry(const DatabaseState& db, const char* name) {
  for (const auto& t : db.tables)
    if (equalsIgnoreAsciiCase(t.name, name)) return t;
  throw Error("The database \"" + db.pager.path() + "\" has no " + name + " table.");
}

std::size_t columnAt(const TableDefinition& def, std::string_view name) {
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (equalsIgnoreAsciiCase(def.columns[i].name, name)) return i;
  throw Error("The catalogue table \"" + def.name + "\" has no column \"" + std::string(name) + "\".");
}

bool textEquals(const Value& v, const std::string& name) {
  return v.kind() == Value::Kind::Text && equalsIgnoreAsciiCase(v.asText(), name);
}

// Deletes the row filed at `where`, and the row it moved to if it did.
void deleteRow(Pager& pager, RowLocation where) {
  const Format& f = pager.format();
  const DataPageView view(pager.page(where.page, kDataPage, "data page"), f, pager.path());
  const RowSlot slot = view.slot(where.row);
  std::optional<RowPointer> moved;
  if (slot.overflow && !slot.deleted) {
    const auto bytes = view.rowBytes(slot);
    if (bytes.size() >= 4) moved = RowPointer::decode(loadU32(bytes.data()));
  }
  markRowDeleted(pager.writablePage(where.page), f, where.row, pager.path());
  if (moved) markRowDeleted(pager.writablePage(moved->page), f, moved->row, pager.path());
}

void removeEntry(DatabaseState& db, const TableDefinition& catalog, const RealIndex& index,
                 std::vector<std::uint8_t> key, RowLocation where) {
  Pager& pager = db.pager;
  const std::string what = "an index of " + catalog.name;
  IndexTree tree(pager, index.firstPage, index.usageMapPointer, what, db.indexPages);
  if (!tree.remove(key, where))
    throw Error("The index of " + catalog.name + " in \"" + pager.path() + "\" has no entry for the row removed.");
}

// The row pointers of every page map the table has, each once.
std::vector<std::uint32_t> tableMaps(const TableDefinition& def) {
  std::vector<std::uint32_t> maps = {def.usageMapPointer, def.freeSpaceMapPointer};
  for (const auto& index : def.realIndexes) maps.push_back(index.usageMapPointer);
  for (const auto& column : def.columnUsageMaps) {
    maps.push_back(column.usedMapPointer);
    maps.push_back(column.freeMapPointer);
  }
  std::sort(maps.begin(), maps.end());
  maps.erase(std::unique(maps.begin(), maps.end()), maps.end());
  return maps;
}

// Every page the table owns: its definition chain, what its maps record,
// and the map pages of reference maps.
std::set<std::uint32_t> ownedPages(Pager& pager, const TableDefinition& def) {
  const Format& f = pager.format();
  std::set<std::uint32_t> pages;
  for (std::uint32_t page = def.definitionPage; page != 0 && pages.insert(page).second;)
    page = loadU32(pager.page(page, kTableDefinitionPage, "table definition")->bytes().data() + f.tdefNextPageOffset);
  for (const std::uint32_t map : tableMaps(def)) {
    UsageMapCursor cursor(pager, map, "table \"" + def.name + "\"");
    while (auto page = cursor.next()) pages.insert(*page);
    const RowPointer at = RowPointer::decode(map);
    const DataPageView view(pager.page(at.page, kDataPage, "usage map"), f, pager.path());
    const auto bytes = view.rowBytes(view.slot(at.row));
    if (!bytes.empty() && bytes[0] == 1)  // a reference map: the map pages it lists
      for (std::size_t i = 1; i + 4 <= bytes.size(); i += 4)
        if (const std::uint32_t mapPage = loadU32(bytes.data() + i)) pages.insert(mapPage);
  }
  for (const auto& index : def.realIndexes)
    if (index.firstPage) pages.insert(index.firstPage);
  return pages;
}

}  // namespace

void dropTable(const std::shared_ptr<DatabaseState>& db, const std::string& name) {
  Pager& pager = db->pager;
  const Format& f = pager.format();
  auto entry = std::find_if(db->tables.begin(), db->tables.end(),
                            [&](const TableEntry& t) { return equalsIgnoreAsciiCase(t.name, name); });
  if (entry == db->tables.end()) throw Error("Table '" + name + "' does not exist.");
  if (entry->system) throw Error("The system table '" + entry->name + "' cannot be dropped.");
  const std::string tableName = entry->name;
  const TableDefinition def = readTableDefinition(pager, db->text, entry->definitionPage, tableName);

  const auto catalogTable = [&](const char* which) {
    const TableEntry& t = catalogEntry(*db, which);
    return readTableDefinition(pager, db->text, t.definitionPage, t.name);
  };
  // Jet keeps relationships consistent: they go first.
  if (std::any_of(db->tables.begin(), db->tables.end(),
                  [](const TableEntry& t) { return equalsIgnoreAsciiCase(t.name, "MSysRelationships"); })) {
    const TableDefinition relationships = catalogTable("MSysRelationships");
    const std::size_t from = columnAt(relationships, "szObject"), to = columnAt(relationships, "szReferencedObject");
    TableScan scan(db, relationships);
    while (scan.next())
      if (textEquals(scan.values()[from], tableName) || textEquals(scan.values()[to], tableName))
        throw Error("Cannot drop table '" + tableName +
                    "': it takes part in one or more relationships. Delete its relationships first.");
  }

  const TableDefinition objects = catalogTable("MSysObjects");
  const TableDefinition aces = catalogTable("MSysACEs");
  const std::int32_t id = static_cast<std::int32_t>(def.definitionPage);

  // Its MSysObjects row and that row's index entries.
  std::optional<RowLocation> objectRow;
  {
    const std::size_t idAt = columnAt(objects, "Id"), parentAt = columnAt(objects, "ParentId"),
                      nameAt = columnAt(objects, "Name");
    TableScan scan(db, objects);
    while (!objectRow && scan.next()) {
      const auto& v = scan.values();
      if (v[idAt].kind() == Value::Kind::Integer && v[idAt].asInteger() == id &&
          v[parentAt].kind() == Value::Kind::Integer && v[parentAt].asInteger() == kTablesContainerId &&
          textEquals(v[nameAt], tableName))
        objectRow = scan.location();
    }
  }
  if (!objectRow) throw Error("The catalogue of \"" + pager.path() + "\" has no row for table '" + tableName + "'.");
  for (const RealIndex& index : objects.realIndexes) {
    std::vector<std::string> names;
    for (const auto& c : index.columns) names.push_back(asciiLower(c.columnName));
    if (names == std::vector<std::string>{"parentid", "name"})
      removeEntry(*db, objects, index, catalogParentIdNameKey(f.version, kTablesContainerId, tableName), *objectRow);
    else if (names == std::vector<std::string>{"id"})
      removeEntry(*db, objects, index, catalogIdKey(f.version, id), *objectRow);
    else
      throw Error("The MSysObjects table of \"" + pager.path() + "\" has an index this engine does not maintain.");
  }
  deleteRow(pager, *objectRow);
  addToCounts(pager, objects, -1);

  // Its permissions.
  std::vector<RowLocation> aceRows;
  {
    const std::size_t objectAt = columnAt(aces, "ObjectId");
    TableScan scan(db, aces);
    while (scan.next())
      if (scan.values()[objectAt].kind() == Value::Kind::Integer && scan.values()[objectAt].asInteger() == id)
        aceRows.push_back(scan.location());
  }
  for (const RowLocation& row : aceRows) {
    for (const RealIndex& index : aces.realIndexes) {
      if (index.columns.size() != 1 || !equalsIgnoreAsciiCase(index.columns[0].columnName, "ObjectId"))
        throw Error("The MSysACEs table of \"" + pager.path() + "\" has an index this engine does not maintain.");
      removeEntry(*db, aces, index, catalogIdKey(f.version, id), row);
    }
    deleteRow(pager, row);
  }
  addToCounts(pager, aces, -static_cast<std::int64_t>(aceRows.size()));

  // Its pages, then the map rows that recorded them.
  const std::set<std::uint32_t> pages = ownedPages(pager, def);
  PageAllocator allocator(pager);
  for (const std::uint32_t page : pages) allocator.release(page);
  std::set<std::uint32_t> mapPages;
  for (const std::uint32_t map : tableMaps(def)) {
    const RowPointer at = RowPointer::decode(map);
    markRowDeleted(pager.writablePage(at.page), f, at.row, pager.path());
    mapPages.insert(at.page);
  }
  // A map page left with no live row serves no one any more.
  for (const std::uint32_t page : mapPages) {
    const DataPageView view(pager.page(page, kDataPage, "usage map page"), f, pager.path());
    bool live = false;
    for (std::uint16_t row = 0; row < view.rowCount() && !live; ++row) live = !view.slot(row).deleted;
    if (!live) allocator.release(page);
  }
  db->tables.erase(entry);
  db->appending.forget();  // its pages may serve the next table under the same definition page
  db->rowRules.forget();
  db->indexPages.clear(pager);  // its index pages may come back as anything
}

}  // namespace fennick::jet
