// fennick-cli inspect: a database's format and tables (columns, indexes,
// row counts), or one table's rows as CSV; with --check, every table's
// indexes checked against its rows. Reads through the Jet engine only.
#include <string>
#include <vector>

#include "commands.h"
#include "console.h"
#include "jet/database.h"

namespace fennick::cli {
namespace {

std::string hex(unsigned value) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[value & 15]);
    value >>= 4;
  } while (value);
  return "0x" + s;
}

std::string describeType(const jet::Column& c) {
  std::string s = jet::columnTypeName(c.type);
  if (c.type == jet::ColumnType::Text) s += " (" + std::to_string(c.textLength) + ")";
  if (c.type == jet::ColumnType::Numeric)
    s += " (" + std::to_string(c.precision) + ", " + std::to_string(c.scale) + ")";
  if (c.type == jet::ColumnType::Unsupported) s += " (type code " + hex(c.typeCode) + ")";
  if (c.autoNumber) s += " autonumber";
  if (c.autoGuid) s += " auto-guid";
  if (!c.nullable) s += " not null";
  if (c.compressedUnicode) s += " compressed";
  return s;
}

std::string describeIndex(const jet::TableDefinition& def, const jet::Index& ix) {
  const jet::RealIndex& real = def.realIndexOf(ix);
  std::string s = ix.name + " (";
  for (std::size_t i = 0; i < real.columns.size(); ++i) {
    if (i) s += ", ";
    s += real.columns[i].columnName + (real.columns[i].ascending ? "" : " DESC");
  }
  s += ")";
  if (ix.kind == jet::Index::Kind::PrimaryKey) s += " primary key";
  if (ix.kind == jet::Index::Kind::ForeignKey) s += " foreign key";
  if (real.unique) s += " unique";
  if (real.ignoreNulls) s += " ignore-nulls";
  if (real.required) s += " required";
  s += " first page " + std::to_string(real.firstPage);
  return s;
}

void showDatabase(const jet::Database& db) {
  const jet::DatabaseInfo& info = db.info();
  std::string out = "File: " + db.path() + "\n";
  out += "Format: " + info.formatName + ", page size " + std::to_string(info.pageSize) + ", " +
         std::to_string(info.pageCount) + " pages\n";
  out += "Code page: " + std::to_string(info.codePage) + ", collation " + hex(info.collation) + " version " +
         std::to_string(info.collationVersion) + "\n";
  if (info.created) out += "Created: " + info.created->toIsoString() + "\n";
  for (const auto& entry : db.tables()) {
    const jet::TableDefinition def = db.definition(entry.name);
    out += "\nTable " + entry.name + (entry.system ? " (system)" : "") + ": " + std::to_string(def.rowCount) +
           " rows\n";
    for (const auto& c : def.columns) out += "  column " + c.name + ": " + describeType(c) + "\n";
    for (const auto& ix : def.indexes) out += "  index " + describeIndex(def, ix) + "\n";
  }
  writeOut(out);
}

void appendCsvField(std::string& out, const fennick::Value& v) {
  const std::string text = v.toDisplayString();
  const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) {
    out += text;
    return;
  }
  out += '"';
  for (char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

void showRows(const jet::Database& db, const std::string& table) {
  jet::RowCursor rows = db.openCursor(table);
  std::string out;
  const auto& columns = rows.definition().columns;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i) out += ',';
    appendCsvField(out, fennick::Value::text(columns[i].name));
  }
  out += '\n';
  while (rows.next()) {
    const auto& values = rows.values();
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) out += ',';
      appendCsvField(out, values[i]);
    }
    out += '\n';
    if (out.size() > (1u << 16)) {
      writeOut(out);
      out.clear();
    }
  }
  writeOut(out);
}

}  // namespace

// Each table's index problems, one line each; exit status 1 when any.
int checkDatabase(const jet::Database& db) {
  std::size_t problems = 0, tables = 0;
  for (const auto& t : db.tables()) {
    std::vector<std::string> found;
    try {
      found = db.checkIndexes(t.name);
    } catch (const jet::Error& e) {
      found.push_back(e.what());
    }
    ++tables;
    for (const auto& p : found) writeOut("table \"" + t.name + "\": " + p + "\n");
    problems += found.size();
  }
  writeOut(std::to_string(tables) + " tables checked, " + std::to_string(problems) + " index problems\n");
  return problems == 0 ? 0 : 1;
}

int runInspect(const Args& args) {
  if (!args.empty() && args[0] == "--check") {
    if (args.size() != 2) {
      writeErr("Usage: fennick-cli inspect --check FILE.mdb\n");
      return 2;
    }
    return checkDatabase(jet::Database::open(args[1], jet::OpenMode::ReadOnly));
  }
  if (args.empty() || args.size() > 2) {
    writeErr("Usage: fennick-cli inspect FILE.mdb [TABLE]\n       fennick-cli inspect --check FILE.mdb\n");
    return 2;
  }
  const jet::Database db = jet::Database::open(args[0], jet::OpenMode::ReadOnly);
  if (args.size() == 1) showDatabase(db);
  else showRows(db, args[1]);
  return 0;
}

}  // namespace fennick::cli
