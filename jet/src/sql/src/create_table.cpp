// CREATE TABLE name (field definitions and constraints): fields with their
// NULL / NOT NULL and column constraints, table constraints PRIMARY KEY and
// UNIQUE, and the checks Jet makes on the whole table (no field twice, one
// primary key, constraints naming fields the table has and can index).
// Relies on
// data_types.cpp for the types.
#include <cstddef>

#include "grammar.h"
#include "jet_sql/names.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

constexpr std::string_view kTableContext = "Syntax error in CREATE TABLE statement";
constexpr std::string_view kConstraintContext = "Syntax error in CONSTRAINT clause";
constexpr std::size_t kMaxFields = 255;
constexpr std::size_t kMaxKeyFields = 10;
constexpr std::size_t kMaxIndexes = 32;

const char* keyWords(KeyKind kind) { return kind == KeyKind::PrimaryKey ? "PRIMARY KEY" : "UNIQUE"; }

bool atFieldEnd(const Cursor& cursor) {
  return cursor.atSymbol(',') || cursor.atSymbol(')') || cursor.peek().kind == TokenKind::End;
}

bool atColumnAttribute(const Cursor& cursor) {
  return cursor.atWord("NOT") || cursor.atWord("NULL") || cursor.atWord("CONSTRAINT") ||
         cursor.atWord("PRIMARY") || cursor.atWord("UNIQUE") || cursor.atWord("WITH");
}

[[noreturn]] void refuseReferences(const CreateTable& table) {
  notSupported("Foreign keys (REFERENCES, FOREIGN KEY) are not supported; table " +
               quoted(table.table) + " must be created without them.");
}

// PRIMARY KEY | UNIQUE, after an optional CONSTRAINT name; false when neither
// stands here.
bool readKeyKind(Cursor& cursor, KeyKind& kind, std::string_view context) {
  if (cursor.acceptWord("PRIMARY")) {
    cursor.expectWord("KEY", context);
    kind = KeyKind::PrimaryKey;
    return true;
  }
  if (cursor.acceptWord("UNIQUE")) {
    kind = KeyKind::Unique;
    return true;
  }
  return false;
}

void addKey(CreateTable& table, KeyConstraint key) {
  if (table.keys.size() == kMaxIndexes) {
    invalid("Table " + quoted(table.table) + " has more than 32 constraints; Jet allows at most 32 indexes.");
  }
  table.keys.push_back(std::move(key));
}

void readTableConstraint(Cursor& cursor, CreateTable& table) {
  KeyConstraint key;
  if (cursor.acceptWord("CONSTRAINT")) key.name = readName(cursor, "Constraint", kConstraintContext);
  if (cursor.atWord("FOREIGN") || cursor.atWord("REFERENCES")) refuseReferences(table);
  if (cursor.atWord("CHECK")) {
    notSupported("CHECK constraints are not supported; table " + quoted(table.table) +
                 " must be created without them.");
  }
  if (!readKeyKind(cursor, key.kind, kConstraintContext)) cursor.syntaxError(kConstraintContext);
  cursor.expectSymbol('(', kConstraintContext);
  do {
    if (key.columns.size() == kMaxKeyFields) {
      invalid(std::string("A ") + keyWords(key.kind) + " constraint of table " + quoted(table.table) +
              " names more than 10 fields; Jet allows at most 10.");
    }
    key.columns.push_back(readName(cursor, "Field", kConstraintContext));
  } while (cursor.acceptSymbol(','));
  cursor.expectSymbol(')', kConstraintContext);
  addKey(table, std::move(key));
}

void readColumnAttributes(Cursor& cursor, CreateTable& table, ColumnDef& column, JetFormat format) {
  const std::string context = fieldContext(column.name);
  bool saidNull = false;
  while (true) {
    if (cursor.atWord("NOT") || cursor.atWord("NULL")) {
      const bool notNull = cursor.acceptWord("NOT");
      cursor.expectWord("NULL", context);
      if (notNull ? saidNull : column.notNull)
        invalid("Field " + quoted(column.name) + " is declared both NULL and NOT NULL.");
      (notNull ? column.notNull : saidNull) = true;
      continue;
    }
    if (cursor.acceptWord("WITH")) {
      if (!cursor.acceptWord("COMPRESSION") && !cursor.acceptWord("COMP")) cursor.syntaxError(context);
      if (format == JetFormat::Jet3) {
        invalid("Field " + quoted(column.name) +
                " asks for Unicode compression, which a Jet 3 (Access 95/97) database does not have.");
      }
      if (column.type != ColumnType::Text && column.type != ColumnType::Memo)
        invalid("Field " + quoted(column.name) + " is not text and cannot be WITH COMPRESSION.");
      column.compressed = true;
      continue;
    }
    KeyConstraint key;
    const bool named = cursor.acceptWord("CONSTRAINT");
    if (named) key.name = readName(cursor, "Constraint", kConstraintContext);
    if (cursor.atWord("REFERENCES")) refuseReferences(table);
    if (named && cursor.atWord("NOT")) {  // CONSTRAINT name NOT NULL
      cursor.next();
      cursor.expectWord("NULL", kConstraintContext);
      column.notNull = true;
      continue;
    }
    if (!readKeyKind(cursor, key.kind, kConstraintContext)) {
      if (named) cursor.syntaxError(kConstraintContext);
      break;
    }
    key.columns.push_back(column.name);
    addKey(table, std::move(key));
  }
  if (cursor.atWord("DEFAULT")) {
    notSupported("Default values (DEFAULT) are not supported; field " + quoted(column.name) +
                 " must be defined without one.");
  }
  if (!atFieldEnd(cursor)) cursor.syntaxError(context);
}

void readColumn(Cursor& cursor, CreateTable& table, JetFormat format) {
  if (table.columns.size() == kMaxFields)
    invalid("Table " + quoted(table.table) + " has more than 255 fields; Jet allows at most 255.");
  ColumnDef column;
  column.name = readName(cursor, "Field", kTableContext);
  for (const ColumnDef& earlier : table.columns) {
    if (sameObjectName(earlier.name, column.name))
      invalid("Table " + quoted(table.table) + " defines field " + quoted(column.name) + " more than once.");
  }
  if (atDataType(cursor)) {
    readDataType(cursor, column, format);
  } else if (atFieldEnd(cursor) || atColumnAttribute(cursor)) {
    invalid("Field " + quoted(column.name) + " in table " + quoted(table.table) + " has no data type.");
  } else if (cursor.peek().kind == TokenKind::Word) {
    invalid("Field " + quoted(column.name) + " has the data type " + quoted(cursor.peek().text) +
            ", which Jet does not know.");
  } else {
    cursor.syntaxError(fieldContext(column.name));
  }
  readColumnAttributes(cursor, table, column, format);
  table.columns.push_back(std::move(column));
}

// The checks that need the whole statement.
void checkKeys(const CreateTable& table) {
  if (table.columns.empty()) invalid("Table " + quoted(table.table) + " has no fields.");
  bool havePrimaryKey = false;
  for (std::size_t k = 0; k < table.keys.size(); ++k) {
    const KeyConstraint& key = table.keys[k];
    std::string subject = "The ";
    subject.append(keyWords(key.kind)).append(" constraint");
    if (!key.name.empty()) subject.append(" ").append(quoted(key.name));
    subject.append(" of table ").append(quoted(table.table));
    if (key.kind == KeyKind::PrimaryKey) {
      if (havePrimaryKey) invalid("Table " + quoted(table.table) + " has more than one primary key.");
      havePrimaryKey = true;
    }
    for (std::size_t i = 0; i < key.columns.size(); ++i) {
      const ColumnDef* column = nullptr;
      for (const ColumnDef& candidate : table.columns)
        if (sameObjectName(candidate.name, key.columns[i])) column = &candidate;
      if (!column) invalid(subject + " names field " + quoted(key.columns[i]) + ", which the table does not have.");
      if (column->type == ColumnType::Memo || column->type == ColumnType::OleObject) {
        invalid(subject + " names field " + quoted(column->name) + ", which is " + columnTypeName(column->type) +
                "; Jet cannot index Memo or OLE Object fields.");
      }
      for (std::size_t j = 0; j < i; ++j) {
        if (sameObjectName(key.columns[j], key.columns[i]))
          invalid(subject + " names field " + quoted(key.columns[i]) + " twice.");
      }
    }
    for (std::size_t j = 0; j < k && !key.name.empty(); ++j) {
      if (sameObjectName(table.keys[j].name, key.name))
        invalid("Table " + quoted(table.table) + " has two constraints named " + quoted(key.name) + ".");
    }
  }
}

}  // namespace

CreateTable parseCreateTable(Cursor& cursor, JetFormat format) {
  CreateTable table;
  table.table = readName(cursor, "Table", kTableContext);
  cursor.expectSymbol('(', kTableContext);
  do {
    if (cursor.atWord("CONSTRAINT") || cursor.atWord("PRIMARY") || cursor.atWord("UNIQUE") ||
        cursor.atWord("FOREIGN") || cursor.atWord("CHECK")) {
      readTableConstraint(cursor, table);
    } else {
      readColumn(cursor, table, format);
    }
  } while (cursor.acceptSymbol(','));
  cursor.expectSymbol(')', kTableContext);
  checkKeys(table);
  return table;
}

}  // namespace fennick::jet::sql
