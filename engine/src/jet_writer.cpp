// JetWriter over jet::Database: CREATE TABLE, DROP TABLE and rows. A statement outside
// a transaction gets one of its own, as Jet commits a DDL statement at once.
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
            throw std::runtime_error("Cannot create index '" + s.index +
                                     "': indexes are not written yet by this build of the Jet engine.");
          } else if constexpr (std::is_same_v<S, jet::sql::DropTable>) {
            inTransaction([&] { database_.dropTable(s.table); });
          } else {
            throw std::runtime_error("This statement is not available yet in this build of the Jet engine.");
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

 private:
  void createTable(const jet::sql::CreateTable& statement) {
    if (!statement.keys.empty())
      throw std::runtime_error("Cannot create table '" + statement.table +
                               "': keys and indexes are not written yet by this build of the Jet engine.");
    std::vector<jet::NewColumn> columns;
    for (const auto& c : statement.columns) {
      jet::NewColumn column;
      column.name = c.name;
      column.type = static_cast<jet::ColumnType>(static_cast<std::uint8_t>(c.type));
      column.length = c.size;
      column.precision = c.precision, column.scale = c.scale, column.autoNumber = c.autoIncrement.has_value(), column.required = c.notNull;
      columns.push_back(std::move(column));
    }
    inTransaction([&] { database_.createTable(statement.table, columns); });
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
