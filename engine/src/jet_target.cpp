// The Jet target adapter: opening the file, rowsets on SELECT statements,
// the new row being built, and the hand-over of statements and rows to the
// writer. Messages follow the Jet OLE DB provider's where the conversion
// (or its user) knows them. Relies on jet_target.h, value_conversion.h,
// jet_sql/parser.h and jet_sql/names.h.
#include "jet_target.h"
#include "jet_writer.h"

#include <stdexcept>
#include <type_traits>
#include <variant>

#include "jet_sql/names.h"
#include "jet_sql/parser.h"
#include "platform/error.h"
#include "platform/file.h"
#include "value_conversion.h"

namespace fennick {
namespace {

const std::string kNoWriter = "writing is not available yet in this build of the Jet engine";

// What a database and its rowsets share: a rowset may be left open while
// the statements of the same connection run.
struct Session {
  jet::Database database;
  bool readOnly = false;
  std::unique_ptr<JetWriter> writer;

  // The writer, or the reason there is none, for an action phrased like
  // "Cannot create table 'T'".
  JetWriter& writerFor(const std::string& action) {
    if (writer) return *writer;
    if (readOnly)
      throw std::runtime_error(action + ": the database \"" + database.path() +
                               "\" is read-only (Cannot update. Database or object is read-only.)");
    throw std::runtime_error(action + ": " + kNoWriter + ".");
  }

  const jet::TableEntry* findTable(const std::string& name) const {
    for (const auto& entry : database.tables())
      if (jet::sql::sameObjectName(entry.name, name)) return &entry;
    return nullptr;
  }

  const jet::TableEntry& inputTable(const std::string& name) const {
    if (const auto* entry = findTable(name)) return *entry;
    throw std::runtime_error("The database engine cannot find the input table or query '" + name +
                             "'. Make sure it exists and that its name is spelled correctly.");
  }

  jet::sql::Statement parse(const std::string& sql) const {
    jet::sql::ParseOptions options;
    options.format = database.info().version == jet::FormatVersion::Jet3 ? jet::sql::JetFormat::Jet3
                                                                         : jet::sql::JetFormat::Jet4;
    return jet::sql::parseStatement(sql, options);
  }
};

// One field of a rowset: a column of the table, or a constant the SELECT
// computes (never updatable).
struct RowsetField {
  std::string name;
  std::optional<std::size_t> column;  // index in the definition's columns
};

class JetCursor final : public TargetCursor {
 public:
  JetCursor(std::shared_ptr<Session> session, jet::TableDefinition definition, std::vector<RowsetField> fields)
      : session_(std::move(session)), definition_(std::move(definition)), fields_(std::move(fields)) {}

  std::size_t fieldCount() const override { return fields_.size(); }
  const std::string& fieldName(std::size_t index) const override { return fields_.at(index).name; }

  void append() override {
    // The row's vector is kept from row to row; only its entries are reset.
    if (!pending_) pending_.emplace(definition_.columns.size());
    else for (auto& slot : *pending_) slot.reset();
    open_ = true;
  }

  void setField(std::string_view name, const Value& value) override {
    const RowsetField* field = findField(name);
    if (!field)
      throw std::runtime_error("Item '" + std::string(name) +
                               "' cannot be found in the collection corresponding to the requested name "
                               "or ordinal (the rowset of table '" + definition_.name + "').");
    if (!field->column)
      throw std::runtime_error("Field '" + field->name + "' cannot be updated: it is not a column of table '" +
                               definition_.name + "'.");
    if (!open_)
      throw std::runtime_error("Cannot set field '" + field->name + "': no new row of table '" +
                               definition_.name + "' has been started.");
    auto& slot = (*pending_)[*field->column];
    try {
      slot = convertForColumn(definition_.columns[*field->column], value);
    } catch (...) {
      slot.reset();  // a refused value leaves the field unset, not at its previous value
      throw;
    }
  }

  void post() override {
    if (!open_) throw std::runtime_error("There is no new row of table '" + definition_.name + "' to post.");
    JetWriter& writer = session_->writer ? *session_->writer
                                         : session_->writerFor("Cannot add a row to table '" + definition_.name + "'");
    open_ = false;
    writer.appendRow(definition_, *pending_);
  }

 private:
  // Fields are set in the same order row after row: the one after the last
  // found is tried first, by its exact name.
  const RowsetField* findField(std::string_view name) {
    if (nextField_ < fields_.size() && fields_[nextField_].name == name) return &fields_[nextField_++];
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (jet::sql::sameObjectName(fields_[i].name, name)) {
        nextField_ = i + 1;
        return &fields_[i];
      }
    return nullptr;
  }

  std::shared_ptr<Session> session_;
  jet::TableDefinition definition_;
  std::vector<RowsetField> fields_;
  // The new row: one entry per column, empty while unset; open_ while a row
  // is being built.
  std::optional<std::vector<std::optional<Value>>> pending_;
  bool open_ = false;
  std::size_t nextField_ = 0;
};

// "CREATE TABLE 'T'", ... for the messages about a statement.
std::string describe(const jet::sql::Statement& statement) {
  return std::visit(
      [](const auto& s) -> std::string {
        using S = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<S, jet::sql::CreateTable>) return "Cannot create table '" + s.table + "'";
        if constexpr (std::is_same_v<S, jet::sql::DropTable>) return "Cannot drop table '" + s.table + "'";
        if constexpr (std::is_same_v<S, jet::sql::CreateIndex>)
          return "Cannot create index '" + s.index + "' on table '" + s.table + "'";
        if constexpr (std::is_same_v<S, jet::sql::DropIndex>)
          return "Cannot drop index '" + s.index + "' on table '" + s.table + "'";
        return "Cannot select from table '" + s.table + "'";
      },
      statement);
}

class JetTarget final : public TargetDatabase {
 public:
  explicit JetTarget(std::shared_ptr<Session> session) : session_(std::move(session)) {}

  void execute(const std::string& sql) override {
    const jet::sql::Statement statement = session_->parse(sql);
    if (const auto* select = std::get_if<jet::sql::Select>(&statement)) {
      rowset(*select);  // the result set is not wanted; the table must exist
      return;
    }
    // The checks the file's catalogue answers, before anything is written.
    if (const auto* create = std::get_if<jet::sql::CreateTable>(&statement)) {
      if (const auto* existing = session_->findTable(create->table))
        throw std::runtime_error("Table '" + existing->name + "' already exists.");
    } else if (const auto* drop = std::get_if<jet::sql::DropTable>(&statement)) {
      if (!session_->findTable(drop->table))
        throw std::runtime_error("Table '" + drop->table + "' does not exist.");
    } else {
      const std::string& table = std::holds_alternative<jet::sql::CreateIndex>(statement)
                                     ? std::get<jet::sql::CreateIndex>(statement).table
                                     : std::get<jet::sql::DropIndex>(statement).table;
      if (!session_->findTable(table))
        throw std::runtime_error("The database engine cannot find the table '" + table + "'.");
    }
    // The writing half carries out the statement.
    session_->writerFor(describe(statement)).execute(statement);
  }

  std::unique_ptr<TargetCursor> openCursor(const std::string& sql) override {
    const jet::sql::Statement statement = session_->parse(sql);
    const auto* select = std::get_if<jet::sql::Select>(&statement);
    if (!select)
      throw std::runtime_error("A rowset can only be opened on a SELECT statement, not on \"" + sql + "\".");
    return rowset(*select);
  }

  // Without a writer nothing is changed, so a transaction has nothing to
  // make durable.
  void beginTransaction() override {
    if (session_->writer) session_->writer->beginTransaction();
  }
  void commitTransaction() override {
    if (session_->writer) session_->writer->commitTransaction();
  }
  void finishWrites() override {
    if (session_->writer) session_->writer->finishWrites();
  }

 private:
  std::unique_ptr<JetCursor> rowset(const jet::sql::Select& select) {
    const jet::TableEntry& entry = session_->inputTable(select.table);
    jet::TableDefinition definition = session_->database.definition(entry.name);
    std::vector<RowsetField> fields;
    int unnamed = 1000;  // Jet names unnamed expressions Expr1000, Expr1001, ...
    for (const auto& item : select.items) {
      switch (item.kind) {
        case jet::sql::SelectItem::Kind::AllColumns:
          for (std::size_t i = 0; i < definition.columns.size(); ++i)
            fields.push_back({definition.columns[i].name, i});
          break;
        case jet::sql::SelectItem::Kind::Column: {
          std::optional<std::size_t> column;
          for (std::size_t i = 0; i < definition.columns.size() && !column; ++i)
            if (jet::sql::sameObjectName(definition.columns[i].name, item.column)) column = i;
          // Jet reads an unknown name as a parameter nobody supplied.
          if (!column)
            throw std::runtime_error("No value given for one or more required parameters: table '" +
                                     definition.name + "' has no field '" + item.column + "'.");
          fields.push_back({item.alias.empty() ? definition.columns[*column].name : item.alias, column});
          break;
        }
        case jet::sql::SelectItem::Kind::Constant:
          fields.push_back({item.alias.empty() ? "Expr" + std::to_string(unnamed++) : item.alias, std::nullopt});
          break;
      }
    }
    return std::make_unique<JetCursor>(session_, std::move(definition), std::move(fields));
  }

  std::shared_ptr<Session> session_;
};

// Shared read-write access, or read-only access to a file that allows no
// more (as Jet opens a read-only file).
std::pair<jet::Database, bool> openFile(const std::string& path) {
  try {
    return {jet::Database::open(path, jet::OpenMode::ReadWrite), false};
  } catch (const platform::SystemError&) {
    if (!platform::isRegularFile(path)) throw;
  }
  return {jet::Database::open(path, jet::OpenMode::ReadOnly), true};
}

}  // namespace

JetWriterFactory defaultJetWriterFactory() { return makeEngineWriter; }

std::unique_ptr<TargetDatabase> openJetTarget(const std::string& path, const JetWriterFactory& makeWriter) {
  auto [database, readOnly] = openFile(path);
  auto session = std::make_shared<Session>(Session{std::move(database), readOnly, nullptr});
  if (makeWriter) session->writer = makeWriter(session->database, readOnly);
  return std::make_unique<JetTarget>(std::move(session));
}

TargetOpener jetTargetOpener() {
  return [](const std::string& path) { return openJetTarget(path, defaultJetWriterFactory()); };
}

}  // namespace fennick
