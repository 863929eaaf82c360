// Names and refusals shared by the statement parsers. Relies on the naming
// rules in names.cpp.
#include <algorithm>
#include <array>

#include "core/utf.h"
#include "grammar.h"
#include "jet_sql/error.h"
#include "jet_sql/names.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

// Keywords of the statements Jet SQL knows, in upper case and sorted. Type
// names are left out: Jet reads them as types only where a type stands.
constexpr std::array<std::string_view, 52> kReservedWords = {
    "ADD",       "ALL",      "ALTER",    "AND",     "AS",       "ASC",        "BY",
    "CHECK",     "COLUMN",   "CONSTRAINT", "CREATE", "DATABASE", "DEFAULT",  "DELETE",
    "DESC",      "DISALLOW", "DISTINCT", "DISTINCTROW", "DROP", "EXISTS",    "FOREIGN",
    "FROM",      "GROUP",    "HAVING",   "IGNORE",  "IN",       "INDEX",      "INNER",
    "INSERT",    "INTO",     "IS",       "JOIN",    "KEY",      "LEFT",       "LIKE",
    "NOT",       "NULL",     "ON",       "OR",      "ORDER",    "PRIMARY",    "REFERENCES",
    "RIGHT",     "SELECT",   "SET",      "TABLE",   "TOP",      "UNION",      "UNIQUE",
    "UPDATE",    "WHERE",    "WITH",
};

bool isReservedWord(std::string_view word) {
  if (word.size() > 16) return false;
  return std::binary_search(kReservedWords.begin(), kReservedWords.end(), asciiUpper(word));
}

}  // namespace

std::string readName(Cursor& cursor, std::string_view what, std::string_view context) {
  const Token& token = cursor.peek();
  std::string name;
  if (token.kind == TokenKind::QuotedName) {
    name = token.value;
  } else if (token.kind == TokenKind::Word && !isReservedWord(token.text)) {
    name = std::string(token.text);
  } else {
    cursor.syntaxError(context);
  }
  validateObjectName(name, what);
  cursor.next();
  return name;
}

std::string fieldContext(std::string_view field) {
  return "Syntax error in field definition of " + quoted(field);
}

void notSupported(const std::string& message) {
  throw SqlError(SqlError::Kind::NotSupported, message);
}

void invalid(const std::string& message) { throw SqlError(SqlError::Kind::Invalid, message); }

}  // namespace fennick::jet::sql
