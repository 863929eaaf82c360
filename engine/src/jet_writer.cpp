// JetWriter over jet::Database: CREATE TABLE (with its PRIMARY KEY and
// UNIQUE constraints), CREATE INDEX, DROP INDEX, DROP TABLE and rows. A statement outside a
// transaction gets one of its own, as Jet commits a DDL statement at once.
#include "jet_writer.h"

#include <stdexcept>
#include <type_traits>
#include <variant>

namespace fennick {
namespace {

class EngineWriter : public JetWriter {
 public:
  explicit EngineWriter(jet::Database& database) : database_(database) {}

  void execute(const jet::sql::Statement& statement) override {
    std::visit(
        [&](const auto& s) {
          using S = std::decay_t<decltype(s)>;
          if constexpr (std::is_same_v<S, jet::sql::CreateTable>) {
            createTable(s);
          } else if constexpr (std::is_same_v<S, jet::sql::CreateIndex>) {
            createIndex(s);
          } else if constexpr (std::is_same_v<S, jet::sql::DropTable>) {
            inTransaction([&] { database_.dropTable(s.table); });
          } else if constexpr (std::is_same_v<S, jet::sql::DropIndex>) {
            inTransaction([&] { database_.dropIndex(s.table, s.index); });
          } else {
            throw std::runtime_error("A SELECT statement is run through a rowset, not executed.");
          }
        },
        statement);
  }

  void appendRow(const jet::TableDefinition& table, std::vector<std::optional<Value>>& fields) override {
    values_.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) values_[i] = fields[i] ? std::move(*fields[i]) : Value();
    inTransaction([&] { database_.appendRow(table.name, values_); });
  }

  void beginTransaction() override {
    if (open_) return;  // Jet nests no transactions here: a second begin joins the first
    database_.beginTransaction();
    open_ = true;
  }

  void commitTransaction() override {
    if (!open_) return;
    open_ = false;
    database_.commit();
  }

  void finishWrites() override {
    if (!open_) database_.flush();
  }

 private:
  void createTable(const jet::sql::CreateTable& statement) {
    std::vector<jet::NewColumn> columns;
    for (const auto& c : statement.columns) {
      jet::NewColumn column;
      column.name = c.name;
      column.type = static_cast<jet::ColumnType>(static_cast<std::uint8_t>(c.type));
      column.length = c.size;
      column.precision = c.precision, column.scale = c.scale, column.autoNumber = c.autoIncrement.has_value(), column.required = c.notNull;
      columns.push_back(std::move(column));
    }
    // A constraint without a name gets the one Access gives a primary key,
    // and a numbered one for each unique key.
    std::vector<jet::NewIndex> keys;
    int unnamedUnique = 0;
    for (const auto& k : statement.keys) {
      jet::NewIndex key;
      key.primary = k.kind == jet::sql::KeyKind::PrimaryKey;
      key.unique = true;
      key.name = !k.name.empty() ? k.name
                 : key.primary  ? "PrimaryKey"
                                : "UniqueKey" + (unnamedUnique++ ? std::to_string(unnamedUnique) : std::string());
      for (const auto& c : k.columns) key.columns.push_back({c, true});
      keys.push_back(std::move(key));
    }
    inTransaction([&] {
      database_.createTable(statement.table, columns);
      for (const auto& key : keys) database_.createIndex(statement.table, key);
    });
  }

  void createIndex(const jet::sql::CreateIndex& statement) {
    jet::NewIndex index;
    index.name = statement.index;
    index.primary = statement.primary;
    index.unique = statement.unique || statement.primary;
    index.required = statement.disallowNull;
    index.ignoreNulls = statement.ignoreNull;
    for (const auto& c : statement.columns) index.columns.push_back({c.name, !c.descending});
    inTransaction([&] { database_.createIndex(statement.table, index); });
  }

  // Runs a change inside the open transaction, or inside one of its own.
  template <typename Change>
  void inTransaction(Change change) {
    if (open_) {
      change();
      return;
    }
    database_.beginTransaction();
    try {
      change();
    } catch (...) {
      database_.rollback();
      throw;
    }
    database_.commit();
  }

  jet::Database& database_;
  bool open_ = false;
  std::vector<Value> values_;  // reused from row to row
};

}  // namespace

std::unique_ptr<JetWriter> makeEngineWriter(jet::Database& database, bool readOnly) {
  if (readOnly) return nullptr;
  return std::make_unique<EngineWriter>(database);
}

}  // namespace fennick
