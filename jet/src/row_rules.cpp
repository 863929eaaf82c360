// Referential integrity on insert.
#include "row_rules.h"

#include <algorithm>
#include <map>

#include "core/utf.h"
#include "database_state.h"
#include "jet/error.h"
#include "catalog_keys.h"
#include "table_definition.h"
#include "table_scan.h"

namespace fennick::jet {
namespace {

constexpr std::int64_t kRelationDontEnforce = 0x2;

std::optional<std::size_t> columnAt(const TableDefinition& def, std::string_view name) {
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (equalsIgnoreAsciiCase(def.columns[i].name, name)) return i;
  return std::nullopt;
}

std::string textOf(const Value& v) { return v.kind() == Value::Kind::Text ? v.asText() : std::string(); }

TableDefinition definitionOf(DatabaseState& db, std::string_view table) {
  for (const auto& t : db.tables)
    if (equalsIgnoreAsciiCase(t.name, table)) return readTableDefinition(db.pager, db.text, t.definitionPage, t.name);
  throw Error("The database \"" + db.pager.path() + "\" has no table '" + std::string(table) + "'.");
}

void load(const std::shared_ptr<DatabaseState>& db, RowRuleState& state) {
  state.loaded = true;
  const bool any = std::any_of(db->tables.begin(), db->tables.end(),
                               [](const TableEntry& t) { return equalsIgnoreAsciiCase(t.name, "MSysRelationships"); });
  if (!any) return;
  const TableDefinition catalog = definitionOf(*db, "MSysRelationships");
  const auto at = [&](const char* name) {
    if (auto i = columnAt(catalog, name)) return *i;
    throw Error("The MSysRelationships table of \"" + db->pager.path() + "\" has no column " + name + ".");
  };
  const std::size_t nameAt = at("szRelationship"), flagsAt = at("grbit"), orderAt = at("icolumn"),
                    fromAt = at("szObject"), fromColumnAt = at("szColumn"), toAt = at("szReferencedObject"),
                    toColumnAt = at("szReferencedColumn");
  struct Part {
    std::int64_t order;
    std::string from, to;
  };
  std::map<std::string, std::pair<Relationship, std::vector<Part>>> byName;
  TableScan scan(db, catalog);
  while (scan.next()) {
    const auto& v = scan.values();
    if (v[flagsAt].kind() == Value::Kind::Integer && (v[flagsAt].asInteger() & kRelationDontEnforce)) continue;
    auto& [relationship, parts] = byName[textOf(v[nameAt])];
    relationship.name = textOf(v[nameAt]);
    relationship.foreignTable = textOf(v[fromAt]);
    relationship.referencedTable = textOf(v[toAt]);
    parts.push_back({v[orderAt].kind() == Value::Kind::Integer ? v[orderAt].asInteger() : 0, textOf(v[fromColumnAt]),
                     textOf(v[toColumnAt])});
  }
  for (auto& [name, entry] : byName) {
    auto& [relationship, parts] = entry;
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.order < b.order; });
    for (const Part& p : parts) {
      relationship.foreignColumns.push_back(p.from);
      relationship.referencedColumns.push_back(p.to);
    }
    state.enforced.push_back(std::move(relationship));
  }
}

// The key of `columns` of a row, as an index on them would hold it (so that
// equal means equal to Jet: text without regard to case), or nothing when a
// part is null.
std::optional<std::string> keyOf(const DatabaseState& db, const TableDefinition& def,
                                 const std::vector<std::string>& columns, const std::vector<Value>& values) {
  Bytes key;
  for (const auto& name : columns) {
    const auto at = columnAt(def, name);
    if (!at) throw Error("The relationship names a column '" + name + "' that table '" + def.name + "' lacks.");
    const Value& value = values.at(*at);
    if (value.isNull()) return std::nullopt;
    const Column& column = def.columns[*at];
    appendColumnKeyPart(key, db.pager.format().version, column.typeCode, column.sortOrder, column.scale, column.name,
                        value);
  }
  return std::string(key.begin(), key.end());
}

RowRuleState& loaded(const std::shared_ptr<DatabaseState>& db) {
  if (!db->rowRules.loaded) load(db, db->rowRules);
  return db->rowRules;
}

std::unordered_set<std::string>& referencedKeys(const std::shared_ptr<DatabaseState>& db, const Relationship& r) {
  auto& cache = db->rowRules.referencedKeys;
  if (auto found = cache.find(r.name); found != cache.end()) return found->second;
  auto& keys = cache[r.name];
  const TableDefinition referenced = definitionOf(*db, r.referencedTable);
  TableScan scan(db, referenced);
  while (scan.next())
    if (auto key = keyOf(*db, referenced, r.referencedColumns, scan.values())) keys.insert(std::move(*key));
  return keys;
}

// The rules the table's MSysObjects row stores in its properties.
const std::map<std::string, ColumnRules>& columnRulesOf(const std::shared_ptr<DatabaseState>& db,
                                                       const TableDefinition& def) {
  auto& cache = db->rowRules.columnRules;
  if (auto found = cache.find(def.definitionPage); found != cache.end()) return found->second;
  auto& rules = cache[def.definitionPage];
  const TableDefinition objects = definitionOf(*db, "MSysObjects");
  const auto idAt = columnAt(objects, "Id"), propertiesAt = columnAt(objects, "LvProp");
  if (!idAt || !propertiesAt) return rules;
  TableScan scan(db, objects);
  while (scan.next()) {
    const auto& v = scan.values();
    if (v[*idAt].kind() != Value::Kind::Integer || v[*idAt].asInteger() != static_cast<std::int64_t>(def.definitionPage))
      continue;
    if (v[*propertiesAt].kind() == Value::Kind::Bytes)
      rules = readColumnRules(v[*propertiesAt].asBytes(), db->header.codePage);
    break;
  }
  return rules;
}

}  // namespace

void checkRowRules(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def,
                   const std::vector<Value>& values) {
  if (!def.systemTable) {
    const auto& rules = columnRulesOf(db, def);
    for (std::size_t i = 0; i < def.columns.size() && i < values.size() && !rules.empty(); ++i) {
      const Column& c = def.columns[i];
      const auto found = rules.find(asciiLower(c.name));
      if (found == rules.end()) continue;
      if (found->second.required && values[i].isNull() && !c.autoNumber && !c.autoGuid)
        throw Error("The field '" + def.name + "." + c.name +
                    "' cannot contain a Null value because the Required property for this field is set to True. "
                    "Enter a value in this field.");
      if (!found->second.allowZeroLength && (c.type == ColumnType::Text || c.type == ColumnType::Memo) &&
          values[i].kind() == Value::Kind::Text && values[i].asText().empty())
        throw Error("Field '" + def.name + "." + c.name + "' cannot be a zero-length string.");
    }
  }
  for (const Relationship& r : loaded(db).enforced) {
    if (!equalsIgnoreAsciiCase(r.foreignTable, def.name)) continue;
    const auto key = keyOf(*db, def, r.foreignColumns, values);
    if (key && !referencedKeys(db, r).count(*key))
      throw Error("You cannot add or change a record because a related record is required in table '" +
                  r.referencedTable + "' (relationship '" + r.name + "' from table '" + r.foreignTable + "').");
  }
}

void noteRowAdded(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def,
                  const std::vector<Value>& values) {
  for (const Relationship& r : loaded(db).enforced) {
    if (!equalsIgnoreAsciiCase(r.referencedTable, def.name)) continue;
    auto cached = db->rowRules.referencedKeys.find(r.name);
    if (cached == db->rowRules.referencedKeys.end()) continue;  // read in full when first needed
    if (auto key = keyOf(*db, def, r.referencedColumns, values)) cached->second.insert(std::move(*key));
  }
}

}  // namespace fennick::jet
