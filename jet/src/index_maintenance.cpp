// Index entries of appended rows.
#include "index_maintenance.h"

#include <cstdint>

#include "index_btree.h"
#include "jet/error.h"

namespace fennick::jet {
namespace {

std::string valueText(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return "NULL";
    case Value::Kind::Text: return "\"" + v.asText() + "\"";
    case Value::Kind::Integer: return std::to_string(v.asInteger());
    default: return v.toDisplayString();
  }
}

}  // namespace

std::string describeIndex(const TableDefinition& def, std::size_t realIndex) {
  std::string name;
  for (const Index& ix : def.indexes)
    if (ix.realIndex == realIndex && (name.empty() || ix.kind == Index::Kind::PrimaryKey)) name = ix.name;
  if (name.empty()) name = "#" + std::to_string(realIndex);
  return name;
}

std::vector<MaintainedIndex> maintainedIndexes(const TableDefinition& def) {
  std::vector<MaintainedIndex> out;
  for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
    MaintainedIndex m;
    m.realIndex = i;
    for (const IndexColumn& ic : def.realIndexes[i].columns) {
      std::size_t at = def.columns.size();
      for (std::size_t c = 0; c < def.columns.size(); ++c)
        if (def.columns[c].number == ic.columnNumber) at = c;
      if (at == def.columns.size())
        throw Error("The table \"" + def.name + "\" has an index on a column it does not have.");
      const Column& col = def.columns[at];
      m.parts.push_back(KeyPart{col.typeCode, ic.ascending, col.scale, col.sortOrder ? col.sortOrder : std::uint16_t(0x0409),
                                at, col.name});
    }
    m.name = describeIndex(def, i);
    m.what = "index \"" + m.name + "\" of table \"" + def.name + "\"";
    out.push_back(std::move(m));
  }
  return out;
}

bool rowKeyFor(const DatabaseState& db, const RealIndex& real, const MaintainedIndex& index,
               const std::vector<Value>& values, std::vector<std::uint8_t>& key) {
  bool allNull = true;
  for (const KeyPart& p : index.parts) allNull = allNull && (p.valueIndex >= values.size() || values[p.valueIndex].isNull());
  if (allNull && real.ignoreNulls) return false;
  encodeRowKey(db.pager.format().version, index.parts, values, key);
  return true;
}

void makeIndexKeys(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                   const std::vector<Value>& values, RowKeys& keys) {
  keys.keys.resize(indexes.size());
  keys.entered.assign(indexes.size(), true);
  keys.uniqueKey.assign(indexes.size(), false);
  keys.hashes.resize(indexes.size());
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const MaintainedIndex& m = indexes[i];
    const RealIndex& real = def.realIndexes[m.realIndex];
    bool anyNull = false;
    for (const KeyPart& p : m.parts) {
      const bool isNull = p.valueIndex >= values.size() || values[p.valueIndex].isNull();
      anyNull = anyNull || isNull;
      if (isNull && real.required)
        throw Error("The " + m.what + " needs a value in column \"" + p.name + "\"; the row was not added.");
    }
    if (!rowKeyFor(db, real, m, values, keys.keys[i])) {
      keys.entered[i] = false;
      continue;
    }
    if (keys.keys[i].size() > IndexTree::maxKeySize(db.pager.format()))
      throw Error("A key of the " + m.what + " is too long (" + std::to_string(keys.keys[i].size()) + " bytes); the row was not added.");
    if (real.unique && !anyNull) {
      keys.uniqueKey[i] = true;
      keys.hashes[i] = PendingIndexEntries::hashKey(keys.keys[i]);
      db.pendingIndexes.prefetch(real, keys.hashes[i]);
    }
  }
}

void refuseDuplicateKeys(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                         const std::vector<Value>& values, const RowKeys& keys) {
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!keys.uniqueKey[i]) continue;
    const MaintainedIndex& m = indexes[i];
    const RealIndex& real = def.realIndexes[m.realIndex];
    IndexTree tree(db.pager, real.firstPage, real.usageMapPointer, m.what, db.indexPages);
    if (db.pendingIndexes.holdsKey(real, keys.keys[i], keys.hashes[i]) || tree.containsKey(keys.keys[i])) {
      std::string shown;
      for (const KeyPart& p : m.parts) shown += (shown.empty() ? "" : ", ") + valueText(values[p.valueIndex]);
      throw Error("The unique " + m.what + " already holds the key (" + shown + "); the row was not added.");
    }
  }
}

bool numberRowForIndexes(const AppendState& state, const std::vector<Value>& values, std::vector<Value>& out) {
  bool any = false;
  for (std::size_t i : state.autoNumberColumns) any = any || (i < values.size() && values[i].isNull());
  if (!any) return false;
  out = values;
  std::uint32_t next = state.autoNumber;
  for (std::size_t i : state.autoNumberColumns) {
    if (out[i].isNull()) out[i] = Value::integer(std::int64_t(next) + 1), ++next;
    else if (out[i].kind() == Value::Kind::Integer && out[i].asInteger() > std::int64_t(next) && out[i].asInteger() <= INT32_MAX)
      next = static_cast<std::uint32_t>(out[i].asInteger());
  }
  return true;
}

void addIndexEntries(DatabaseState& db, const TableDefinition& def, const std::vector<MaintainedIndex>& indexes,
                     const RowKeys& keys, RowLocation row) {
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!keys.entered[i]) continue;
    const std::size_t real = indexes[i].realIndex;
    db.pendingIndexes.add(def.definitionPage, def.realIndexes[real], indexes[i].what, keys.keys[i], row,
                          keys.uniqueKey[i], keys.hashes[i]);
  }
}

}  // namespace fennick::jet
