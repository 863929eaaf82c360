// Appending rows: append state, autonumbers, long values, row placement.
#include "table_appender.h"

#include "bytes.h"
#include "core/utf.h"
#include "data_page.h"
#include "data_page_writer.h"
#include "jet/error.h"
#include "long_value_writer.h"
#include "page_allocator.h"
#include "row_writer.h"
#include "table_definition.h"
#include "usage_map.h"
#include "usage_map_writer.h"

namespace fennick::jet {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::int64_t kMaxAutoNumber = INT32_MAX;

std::string tableOwner(const TableDefinition& def) { return "table \"" + def.name + "\""; }

AppendState buildState(DatabaseState& db, const TableEntry& entry) {
  AppendState state;
  state.definition = readTableDefinition(db.pager, db.text, entry.definitionPage, entry.name);
  const TableDefinition& def = state.definition;
  state.longValueColumnOf.assign(def.columns.size(), kNone);
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const Column& c = def.columns[i];
    if (c.autoNumber && c.type == ColumnType::Long) state.autoNumberColumns.push_back(i);
    if (c.type != ColumnType::Memo && c.type != ColumnType::Ole) continue;
    const ColumnUsageMaps* maps = nullptr;
    for (const auto& m : def.columnUsageMaps)
      if (m.columnNumber == c.number) maps = &m;
    if (!maps)
      throw Error("The column \"" + c.name + "\" of table \"" + def.name + "\" in \"" + db.pager.path() +
                  "\" has no page map for its long values.");
    state.longValueColumnOf[i] = state.longValueColumns.size();
    state.longValueColumns.push_back(LongValueColumn{c.number, maps->usedMapPointer, maps->freeMapPointer, {}});
  }
  state.autoNumber = def.nextAutoNumber;
  return state;
}

}  // namespace

AppendState& appendStateFor(DatabaseState& db, std::string_view table) {
  AppendStates& states = db.appending;
  if (!states.lastName.empty() && states.lastName == table) {
    auto found = states.byDefinitionPage.find(states.lastDefinitionPage);
    if (found != states.byDefinitionPage.end()) return found->second;
  }
  const TableEntry* entry = nullptr;
  for (const auto& t : db.tables)
    if (equalsIgnoreAsciiCase(t.name, table)) entry = &t;
  if (!entry) throw Error("The database \"" + db.pager.path() + "\" has no table \"" + std::string(table) + "\".");
  auto found = states.byDefinitionPage.find(entry->definitionPage);
  if (found == states.byDefinitionPage.end())
    found = states.byDefinitionPage.emplace(entry->definitionPage, buildState(db, *entry)).first;
  states.lastName = std::string(table);
  states.lastDefinitionPage = entry->definitionPage;
  return found->second;
}

const std::vector<std::uint8_t>& prepareRow(DatabaseState& db, AppendState& state, const std::vector<Value>& values,
                                            const std::function<void()>& lastChecks) {
  const TableDefinition& def = state.definition;
  const Format& f = db.pager.format();
  std::vector<OutOfRowValue>& outOfRow = state.outOfRow;
  outOfRow.clear();
  std::vector<std::uint8_t>& row = state.row;
  std::uint32_t autoNumber = state.autoNumber;
  bool numbersWanted = false;
  for (std::size_t i : state.autoNumberColumns) numbersWanted = numbersWanted || (i < values.size() && values[i].isNull());
  if (!numbersWanted) {
    encodeRow(f, def, values, db.header.codePage, &outOfRow, state.buffers, row);
  } else {
    std::vector<Value> numbered = values;
    for (std::size_t i : state.autoNumberColumns) {
      if (!numbered[i].isNull()) continue;
      if (autoNumber >= kMaxAutoNumber)
        throw Error("The autonumber column \"" + def.columns[i].name + "\" of table \"" + def.name +
                    "\" has run out of numbers.");
      numbered[i] = Value::integer(++autoNumber);
    }
    encodeRow(f, def, numbered, db.header.codePage, &outOfRow, state.buffers, row);
  }
  // A number given (in whatever form the value had) moves the counter past
  // it; the stored field says what it became.
  for (std::size_t i : state.autoNumberColumns) {
    const Column& c = def.columns[i];
    const std::size_t at = f.rowColumnCountSize + c.fixedOffset;
    const std::int32_t stored = static_cast<std::int32_t>(loadU32(row.data() + at));
    if (stored > 0 && static_cast<std::uint32_t>(stored) > autoNumber) autoNumber = static_cast<std::uint32_t>(stored);
  }
  if (lastChecks) lastChecks();
  // Every check is made; from here on pages change.
  for (auto& value : outOfRow) {
    const Column& c = def.columns[value.columnIndex];
    LongValueColumn& column = state.longValueColumns.at(state.longValueColumnOf.at(value.columnIndex));
    const std::uint32_t pointer =
        storeLongValue(db.pager, column, value.data, "column \"" + c.name + "\" of table \"" + def.name + "\"");
    for (int i = 0; i < 4; ++i) row[value.pointerOffset + i] = static_cast<std::uint8_t>(pointer >> (8 * i));
  }
  state.autoNumber = autoNumber;
  return row;
}

RowLocation placeRow(DatabaseState& db, AppendState& state, const std::vector<std::uint8_t>& row) {
  Pager& pager = db.pager;
  const Format& f = pager.format();
  const TableDefinition& def = state.definition;
  if (!state.lastPage) {
    UsageMapCursor pages(pager, def.usageMapPointer, tableOwner(def));
    std::optional<std::uint32_t> last;
    while (auto page = pages.next()) last = page;
    if (last) {
      pager.page(*last, kDataPage, "data page");
      state.lastPage = last;
    }
  }
  if (state.lastPage) {
    if (auto number = addRowToPage(pager.writablePage(*state.lastPage), f, row, pager.path()))
      return {*state.lastPage, *number};
    clearPageInMap(pager, def.freeSpaceMapPointer, *state.lastPage, tableOwner(def));
  }
  PageAllocator allocator(pager);
  const std::uint32_t page = allocator.allocate();
  formatDataPage(pager.writablePage(page), f, def.definitionPage);
  markPageInMap(pager, def.usageMapPointer, page, tableOwner(def));
  markPageInMap(pager, def.freeSpaceMapPointer, page, tableOwner(def));
  state.lastPage = page;
  const auto number = addRowToPage(pager.writablePage(page), f, row, pager.path());
  if (!number) throw Error("A row of table \"" + def.name + "\" is too long for one page.");
  return {page, *number};
}

void storeAutoNumber(DatabaseState& db, const AppendState& state) {
  if (state.autoNumberColumns.empty()) return;
  auto page = db.pager.writablePage(state.definition.definitionPage);
  const std::size_t at = db.pager.format().tdefAutoNumberOffset;
  for (int i = 0; i < 4; ++i) page[at + i] = static_cast<std::uint8_t>(state.autoNumber >> (8 * i));
}

}  // namespace fennick::jet
