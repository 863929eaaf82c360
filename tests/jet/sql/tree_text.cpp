// Renders statement trees for the tests' expectations.
#include "tree_text.h"

namespace fennick::jet::sql::test {
namespace {

std::string columnText(const ColumnDef& c) {
  std::string out = c.name + " " + columnTypeName(c.type);
  if (c.type == ColumnType::Text || c.type == ColumnType::Binary) out.append("(").append(std::to_string(c.size)).append(")");
  if (c.type == ColumnType::Decimal) {
    out.append("(").append(std::to_string(c.precision)).append(",").append(std::to_string(c.scale)).append(")");
  }
  if (c.fixedLength) out += " fixed";
  if (c.autoIncrement)
    out += " counter(" + std::to_string(c.autoIncrement->seed) + "," + std::to_string(c.autoIncrement->increment) + ")";
  if (c.notNull) out += " not-null";
  if (c.compressed) out += " compressed";
  return out;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : ", ") + part;
  return out;
}

std::string text(const CreateTable& t) {
  std::vector<std::string> columns, keys;
  for (const ColumnDef& c : t.columns) columns.push_back(columnText(c));
  for (const KeyConstraint& k : t.keys) {
    std::string key = k.kind == KeyKind::PrimaryKey ? "PK" : "UNIQUE";
    if (!k.name.empty()) key += "[" + k.name + "]";
    keys.push_back(key + "(" + joined(k.columns) + ")");
  }
  return "TABLE " + t.table + ": " + joined(columns) + (keys.empty() ? "" : "; " + joined(keys));
}

std::string text(const DropTable& d) { return "DROP TABLE " + d.table; }
std::string text(const DropIndex& d) { return "DROP INDEX " + d.index + " ON " + d.table; }

std::string text(const CreateIndex& i) {
  std::vector<std::string> columns;
  for (const IndexColumn& c : i.columns) columns.push_back(c.name + (c.descending ? " desc" : ""));
  std::string out = "INDEX " + i.index + " ON " + i.table + " (" + joined(columns) + ")";
  if (i.unique) out += " unique";
  if (i.primary) out += " primary";
  if (i.disallowNull) out += " disallow-null";
  if (i.ignoreNull) out += " ignore-null";
  return out;
}

std::string text(const Select& s) {
  std::vector<std::string> items;
  for (const SelectItem& item : s.items) {
    std::string one;
    switch (item.kind) {
      case SelectItem::Kind::AllColumns: one = "*"; break;
      case SelectItem::Kind::Column: one = item.column; break;
      case SelectItem::Kind::Constant:
        switch (item.constant.kind()) {
          case Value::Kind::Null: one = "null"; break;
          case Value::Kind::Integer: one = std::to_string(item.constant.asInteger()); break;
          case Value::Kind::Decimal: one = "decimal " + item.constant.asDecimal().text; break;
          case Value::Kind::Text: one = "'" + item.constant.asText() + "'"; break;
          default: one = "?"; break;
        }
        break;
    }
    if (!item.alias.empty()) one += " as " + item.alias;
    items.push_back(one);
  }
  return "SELECT " + joined(items) + " FROM " + s.table + (s.emptyRowset ? " empty" : "");
}

}  // namespace

std::string treeText(const Statement& statement) {
  return std::visit([](const auto& tree) { return text(tree); }, statement);
}

}  // namespace fennick::jet::sql::test
