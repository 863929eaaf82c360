// Table creation and row appending. Relies on table_definition_writer,
// table_appender, row_writer, data_page_writer, usage_map_writer, index_btree, index_maintenance,
// catalog_keys, page_allocator and table_scan.
#include "table_writer.h"

#include <optional>

#include "catalog_keys.h"
#include "core/utf.h"
#include "data_page_writer.h"
#include "index_btree.h"
#include "index_maintenance.h"
#include "jet/error.h"
#include "page_allocator.h"
#include "row_rules.h"
#include "row_writer.h"
#include "table_appender.h"
#include "table_definition.h"
#include "table_definition_writer.h"
#include "table_scan.h"
#include "usage_map.h"
#include "usage_map_writer.h"

namespace fennick::jet {
namespace {

constexpr std::int32_t kTablesContainerId = 0x0F000001;
constexpr std::int32_t kUserTableType = 1;

struct Placed {
  std::uint32_t page;
  std::uint16_t row;
};

std::size_t columnIndex(const TableDefinition& def, std::string_view name) {
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (equalsIgnoreAsciiCase(def.columns[i].name, name)) return i;
  throw Error("The catalogue table \"" + def.name + "\" has no column \"" + std::string(name) + "\".");
}

void addToCount(std::span<std::uint8_t> page, const Pager& pager, std::size_t offset, std::int64_t delta) {
  if (offset + 4 > page.size()) throw Error("A table definition of \"" + pager.path() + "\" is too long to update.");
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | page[offset + i];
  const std::int64_t changed = std::int64_t{v} + delta;
  v = changed < 0 ? 0 : static_cast<std::uint32_t>(changed);
  for (int i = 0; i < 4; ++i) page[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Stores `row` on the table's last data page, or on a new one.
Placed storeRow(Pager& pager, const TableDefinition& def, const std::vector<std::uint8_t>& row) {
  const Format& f = pager.format();
  if (row.size() + 2 > f.pageSize - f.dataRowTableOffset)
    throw Error("A row of table \"" + def.name + "\" is too long for one page.");
  std::optional<std::uint32_t> last;
  UsageMapCursor pages(pager, def.usageMapPointer, "table \"" + def.name + "\"");
  while (auto page = pages.next()) last = page;
  if (last) {
    pager.page(*last, kDataPage, "data page");
    if (auto number = addRowToPage(pager.writablePage(*last), f, row, pager.path())) return {*last, *number};
  }
  PageAllocator allocator(pager);
  const std::uint32_t page = allocator.allocate();
  formatDataPage(pager.writablePage(page), f, def.definitionPage);
  const std::string owner = "table \"" + def.name + "\"";
  markPageInMap(pager, def.usageMapPointer, page, owner);
  markPageInMap(pager, def.freeSpaceMapPointer, page, owner);
  return {page, *addRowToPage(pager.writablePage(page), f, row, pager.path())};
}

Value integer(std::int64_t v) { return Value::integer(v); }

}  // namespace

void addToCounts(Pager& pager, const TableDefinition& def, std::int64_t delta) {
  const Format& f = pager.format();
  const auto page = pager.writablePage(def.definitionPage);
  addToCount(page, pager, f.tdefRowCountOffset, delta);
  for (std::size_t i = 0; i < def.realIndexes.size(); ++i)
    addToCount(page, pager, f.tdefBlockEnd + i * f.realIndexEntrySize + 4, delta);
}

void appendRow(const std::shared_ptr<DatabaseState>& db, std::string_view table, const std::vector<Value>& values) {
  AppendState& state = appendStateFor(*db, table);
  const TableDefinition& def = state.definition;
  RowIndexing indexing(*db, state);
  std::vector<Value> numbered;
  const std::vector<Value>& row = indexing.active() && numberRowForIndexes(state, values, numbered) ? numbered : values;
  // A refused row changes nothing: every rule is checked before a page is written.
  checkRowRules(db, def, row);
  // The keys first, the look-ups for unique ones once the row is encoded:
  // what they read arrives meanwhile.
  if (indexing.active()) indexing.makeKeys(row);
  const auto refuseDuplicates = [&] { indexing.refuseDuplicates(row); };
  const RowLocation placed =
      placeRow(*db, state, indexing.active() ? prepareRow(*db, state, row, refuseDuplicates) : prepareRow(*db, state, row));
  if (indexing.active()) indexing.add(placed);
  addToCounts(db->pager, def, 1);
  storeAutoNumber(*db, state);
  noteRowAdded(db, def, row);
}

void createTable(const std::shared_ptr<DatabaseState>& db, const std::string& name,
                 const std::vector<NewColumn>& columns, const DateTime& created) {
  Pager& pager = db->pager;
  const Format& f = pager.format();
  for (const auto& t : db->tables)
    if (equalsIgnoreAsciiCase(t.name, name))
      throw Error("The database \"" + pager.path() + "\" already has a table \"" + t.name + "\".");
  TableDefinition def = layOutNewTable(f, name, columns);

  const auto catalogTable = [&](const char* which) {
    for (const auto& t : db->tables)
      if (equalsIgnoreAsciiCase(t.name, which)) return readTableDefinition(pager, db->text, t.definitionPage, t.name);
    throw Error("The database \"" + pager.path() + "\" has no " + which + " table.");
  };
  const TableDefinition objects = catalogTable("MSysObjects");
  const TableDefinition aces = catalogTable("MSysACEs");

  // The creating user is MSysDb's owner; the new table's permissions are the
  // inheritable ones of the Tables container, its creator entry (the one
  // granting 0xF00FE) given to that user, each user once.
  std::optional<Bytes> creator;
  {
    TableScan scan(db, objects);
    const std::size_t nameAt = columnIndex(objects, "Name"), ownerAt = columnIndex(objects, "Owner");
    while (scan.next())
      if (scan.values()[nameAt].kind() == Value::Kind::Text && scan.values()[nameAt].asText() == "MSysDb" &&
          scan.values()[ownerAt].kind() == Value::Kind::Bytes)
        creator = scan.values()[ownerAt].asBytes();
  }
  if (!creator) throw Error("The database \"" + pager.path() + "\" has no MSysDb row naming its owner.");
  std::vector<std::pair<Bytes, std::int64_t>> permissions;
  {
    TableScan scan(db, aces);
    const std::size_t idAt = columnIndex(aces, "ObjectId"), sidAt = columnIndex(aces, "SID"),
                      acmAt = columnIndex(aces, "ACM"), inheritAt = columnIndex(aces, "FInheritable");
    while (scan.next()) {
      const auto& v = scan.values();
      if (v[idAt].kind() != Value::Kind::Integer || v[idAt].asInteger() != kTablesContainerId) continue;
      if (v[inheritAt].kind() != Value::Kind::Boolean || !v[inheritAt].asBoolean()) continue;
      if (v[sidAt].kind() != Value::Kind::Bytes || v[acmAt].kind() != Value::Kind::Integer) continue;
      const std::int64_t acm = v[acmAt].asInteger();
      const Bytes sid = acm == 0x000F00FE ? *creator : v[sidAt].asBytes();
      bool seen = false;
      for (const auto& p : permissions) seen = seen || p.first == sid;
      if (!seen) permissions.emplace_back(sid, acm);
    }
  }

  // The definition's length does not depend on its map pointers, so the
  // number of pages it needs is known before any is allocated.
  for (const Column& c : def.columns)
    if (c.type == ColumnType::Memo || c.type == ColumnType::Ole) def.columnUsageMaps.push_back({c.number, 1, 1});
  const std::size_t definitionPageTotal = definitionPageCount(f, encodeTableDefinition(f, def, db->header.codePage).size());
  PageAllocator allocator(pager);
  std::vector<std::uint32_t> definitionPageNumbers;
  for (std::size_t i = 0; i < definitionPageTotal; ++i) definitionPageNumbers.push_back(allocator.allocate());
  def.definitionPage = definitionPageNumbers.front();
  def.usageMapPointer = addMapRow(pager, allocator, objects.usageMapPointer);
  // Map rows go beside the previous one, so a new table's maps share a page.
  def.freeSpaceMapPointer = addMapRow(pager, allocator, def.usageMapPointer);
  std::uint32_t previousMap = def.freeSpaceMapPointer;
  for (ColumnUsageMaps& maps : def.columnUsageMaps) {
    maps.usedMapPointer = addMapRow(pager, allocator, previousMap);
    maps.freeMapPointer = addMapRow(pager, allocator, maps.usedMapPointer);
    previousMap = maps.freeMapPointer;
  }
  const auto images = definitionPages(f, encodeTableDefinition(f, def, db->header.codePage), definitionPageNumbers);
  for (std::size_t i = 0; i < images.size(); ++i) {
    auto page = pager.writablePage(definitionPageNumbers[i]);
    std::copy(images[i].begin(), images[i].end(), page.begin());
  }

  // MSysObjects row.
  std::vector<Value> row(objects.columns.size());
  const auto set = [&](const TableDefinition& t, std::vector<Value>& r, const char* column, Value v) {
    r[columnIndex(t, column)] = std::move(v);
  };
  set(objects, row, "Id", integer(def.definitionPage));
  set(objects, row, "ParentId", integer(kTablesContainerId));
  set(objects, row, "Name", Value::text(name));
  set(objects, row, "Type", integer(kUserTableType));
  set(objects, row, "DateCreate", Value::dateTime(created));
  set(objects, row, "DateUpdate", Value::dateTime(created));
  set(objects, row, "Owner", Value::bytes(*creator));
  set(objects, row, "Flags", integer(0));
  const Placed object = storeRow(pager, objects, encodeRow(f, objects, row, db->header.codePage));
  addToCounts(pager, objects, 1);
  for (const RealIndex& index : objects.realIndexes) {
    std::vector<std::string> names;
    for (const auto& c : index.columns) names.push_back(asciiLower(c.columnName));
    std::vector<std::uint8_t> key;
    if (names == std::vector<std::string>{"parentid", "name"}) key = catalogParentIdNameKey(f.version, kTablesContainerId, name);
    else if (names == std::vector<std::string>{"id"}) key = catalogIdKey(f.version, static_cast<std::int32_t>(def.definitionPage));
    else throw Error("The MSysObjects table of \"" + pager.path() + "\" has an index this engine does not maintain.");
    IndexTree(pager, index.firstPage, index.usageMapPointer, "index of table \"MSysObjects\"", db->indexPages)
        .insert(key, {object.page, object.row});
  }

  // MSysACEs rows.
  for (const auto& [sid, acm] : permissions) {
    std::vector<Value> ace(aces.columns.size());
    set(aces, ace, "ObjectId", integer(def.definitionPage));
    set(aces, ace, "SID", Value::bytes(sid));
    set(aces, ace, "ACM", integer(acm));
    set(aces, ace, "FInheritable", Value::boolean(false));
    const Placed placed = storeRow(pager, aces, encodeRow(f, aces, ace, db->header.codePage));
    for (const RealIndex& index : aces.realIndexes) {
      if (index.columns.size() != 1 || !equalsIgnoreAsciiCase(index.columns[0].columnName, "ObjectId"))
        throw Error("The MSysACEs table of \"" + pager.path() + "\" has an index this engine does not maintain.");
      IndexTree(pager, index.firstPage, index.usageMapPointer, "index of table \"MSysACEs\"", db->indexPages)
          .insert(catalogIdKey(f.version, static_cast<std::int32_t>(def.definitionPage)), {placed.page, placed.row});
    }
  }
  addToCounts(pager, aces, static_cast<std::int64_t>(permissions.size()));

  db->tables.push_back(TableEntry{name, def.definitionPage, 0, false});
}

}  // namespace fennick::jet
