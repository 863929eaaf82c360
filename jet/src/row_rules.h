// What Jet enforces when a row is added beyond the row's own shape, checked
// before any page of the row is written so that a refused row changes
// nothing (columns defined NOT NULL are the row encoder's check):
//   - the table's stored properties: a Required column gets a value, a
//     column that does not AllowZeroLength gets no empty text;
//   - referential integrity: every enforced
// relationship in MSysRelationships whose foreign side
// is the table finds a row with the same key in the referenced table (a key
// with a null part needs none, as in Jet). Relationships marked "not
// enforced" are left alone.
// The referenced tables' keys are read once per transaction and kept up to
// date as rows are added. Relies on table_scan and jet_keys.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "column_properties.h"
#include "core/value.h"
#include "jet/schema.h"

namespace fennick::jet {

class DatabaseState;

struct Relationship {
  std::string name;
  std::string foreignTable, referencedTable;
  std::vector<std::string> foreignColumns, referencedColumns;  // in key order
};

// What the checks keep between rows of a transaction.
struct RowRuleState {
  bool loaded = false;
  std::vector<Relationship> enforced;
  // Keys present in each relationship's referenced table, by relationship.
  std::unordered_map<std::string, std::unordered_set<std::string>> referencedKeys;
  // Each table's column rules from its properties, by definition page.
  std::unordered_map<std::uint32_t, std::map<std::string, ColumnRules>> columnRules;

  void forget() { *this = RowRuleState{}; }
};

// Throws Error with Jet's message when `values` (one per column, converted)
// breaks a rule of table `def`.
void checkRowRules(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def,
                   const std::vector<Value>& values);

// Records a row just added, for the relationships that reference its table.
void noteRowAdded(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def,
                  const std::vector<Value>& values);

}  // namespace fennick::jet
