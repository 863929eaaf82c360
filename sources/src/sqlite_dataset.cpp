// SqliteDataset: steps a prepared statement and keeps the current row's
// values, each read with the Oracle kind of its column's declared type.
// Relies on declared_type.h and sqlite_values.h.
#include "sqlite_dataset.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include "declared_type.h"
#include "sqlite_values.h"

namespace fennick {

namespace {

class SqliteDataset final : public SourceDataset {
 public:
  SqliteDataset(SqliteDatabase db, SqliteStatement statement, std::string sourceName)
      : db_(std::move(db)), statement_(std::move(statement)), sourceName_(std::move(sourceName)) {
    const int count = sqlite3_column_count(statement_.get());
    for (int i = 0; i < count; ++i) {
      const char* name = sqlite3_column_name(statement_.get(), i);
      const char* declared = sqlite3_column_decltype(statement_.get(), i);
      Field field{name ? name : "", std::nullopt};
      if (declared) field.kind = readDeclaredType(declared).values;
      fields_.push_back(std::move(field));
    }
    values_.resize(fields_.size());
    next();
  }

  bool eof() const override { return eof_; }

  void next() override {
    if (eof_) return;
    const int status = sqlite3_step(statement_.get());
    if (status == SQLITE_DONE) {
      eof_ = true;
      for (auto& value : values_) value = Value::null();
      return;
    }
    if (status != SQLITE_ROW) {
      eof_ = true;
      throw std::runtime_error(sourceName_ + ": " + sqliteMessage(db_.get()));
    }
    for (std::size_t i = 0; i < fields_.size(); ++i)
      values_[i] = readCell(statement_.get(), static_cast<int>(i), fields_[i].kind, fields_[i].name);
  }

  std::size_t fieldCount() const override { return fields_.size(); }
  const std::string& fieldName(std::size_t index) const override { return field(index).name; }
  bool isBlob(std::size_t index) const override {
    return field(index).kind == ValueKind::Binary;
  }
  const Value& value(std::size_t index) const override {
    field(index);
    return values_[index];
  }

 private:
  struct Field {
    std::string name;
    std::optional<ValueKind> kind;  // empty: an expression without a declared type
  };

  const Field& field(std::size_t index) const {
    if (index >= fields_.size())
      throw std::out_of_range("Field number " + std::to_string(index) + " is beyond the " +
                              std::to_string(fields_.size()) + " fields of the query");
    return fields_[index];
  }

  SqliteDatabase db_;  // declared first: the statement is finalized before the connection goes
  SqliteStatement statement_;
  std::string sourceName_;
  std::vector<Field> fields_;
  std::vector<Value> values_;
  bool eof_ = false;
};

bool onlySpacing(const char* tail) {
  // SQLite leaves whatever follows the first statement in `tail`; anything
  // other than spacing and a final ';' would be silently dropped.
  for (; *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
      return false;
  return true;
}

}  // namespace

std::unique_ptr<SourceDataset> runSqliteQuery(SqliteDatabase db, const std::string& sql,
                                              const std::string& sourceName) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int status =
      sqlite3_prepare_v2(db.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
  SqliteStatement statement(raw);
  if (status != SQLITE_OK)
    throw std::runtime_error(sourceName + ": " + sqliteMessage(db.get()) + " in query \"" + sql +
                             "\"");
  if (!statement) throw std::runtime_error(sourceName + ": the query \"" + sql + "\" is empty");
  if (tail && !onlySpacing(tail))
    throw std::runtime_error(sourceName + ": the query \"" + sql +
                             "\" holds more than one statement");
  if (!sqlite3_stmt_readonly(statement.get()))
    throw std::runtime_error(sourceName + ": the source is read-only; \"" + sql +
                             "\" would change it");
  return std::make_unique<SqliteDataset>(std::move(db), std::move(statement), sourceName);
}

}  // namespace fennick
