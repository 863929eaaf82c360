// The entry point: checks the text is UTF-8, picks the statement parser by
// the first words, and refuses anything after the statement's end. Relies
// on the statement parsers declared in grammar.h.
#include "jet_sql/parser.h"

#include "core/utf.h"
#include "grammar.h"
#include "jet_sql/error.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

constexpr std::string_view kSupportedStatements =
    "only CREATE TABLE, CREATE INDEX, DROP TABLE, DROP INDEX and SELECT are";

Statement parseCreate(Cursor& cursor, JetFormat format) {
  if (cursor.acceptWord("TABLE")) return parseCreateTable(cursor, format);
  if (cursor.atWord("INDEX") || cursor.atWord("UNIQUE")) return parseCreateIndex(cursor);
  for (const std::string_view other : {"VIEW", "PROCEDURE", "PROC", "USER", "GROUP", "DATABASE"}) {
    if (cursor.atWord(other)) {
      notSupported("CREATE " + asciiUpper(other) + " statements are not supported; " +
                   std::string(kSupportedStatements) + ".");
    }
  }
  cursor.syntaxError("Syntax error in CREATE TABLE or CREATE INDEX statement");
}

}  // namespace

Statement parseStatement(std::string_view sql, const ParseOptions& options) {
  if (!isValidUtf8(sql)) {
    throw SqlError(SqlError::Kind::Syntax, "The SQL statement is not valid UTF-8 text.");
  }
  Cursor cursor(sql);
  if (cursor.atStatementEnd()) throw SqlError(SqlError::Kind::Syntax, "The SQL statement is empty.");
  const Token& first = cursor.peek();
  Statement statement;
  if (cursor.acceptWord("CREATE")) {
    statement = parseCreate(cursor, options.format);
  } else if (cursor.acceptWord("DROP")) {
    statement = parseDrop(cursor);
  } else if (cursor.acceptWord("SELECT")) {
    statement = parseSelect(cursor);
  } else {
    for (const std::string_view other : {"INSERT", "UPDATE", "DELETE", "ALTER", "TRANSFORM", "PARAMETERS",
                                         "PROCEDURE", "EXECUTE", "EXEC", "GRANT", "REVOKE", "ADD",
                                         "BEGIN", "COMMIT", "ROLLBACK", "TRUNCATE", "WITH"}) {
      if (cursor.atWord(other)) {
        notSupported(asciiUpper(first.text) + " statements are not supported; " +
                     std::string(kSupportedStatements) + ".");
      }
    }
    throw SqlError(SqlError::Kind::Syntax, "Invalid SQL statement near " + quoted(first.text) +
                                               "; expected CREATE, DROP or SELECT.");
  }
  cursor.acceptSymbol(';');
  if (cursor.peek().kind != TokenKind::End) cursor.syntaxError("Characters found after end of SQL statement");
  return statement;
}

}  // namespace fennick::jet::sql
