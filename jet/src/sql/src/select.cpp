// SELECT items FROM table [WHERE 1=0 | WHERE 1=1]: the one query form the
// conversion sends, to learn a table's columns (WHERE 1=0) or read it whole.
// Items are *, field names and constants, each with an optional AS alias.
// Everything richer is refused as not supported, quoting what was found.
#include <charconv>

#include "grammar.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

constexpr std::string_view kSelectContext = "Syntax error in SELECT statement";
constexpr std::string_view kSupportedForm = "only SELECT fields FROM table, optionally WHERE 1=0, is";

// Quotes the statement from token `from` on.
[[noreturn]] void refuseClause(const Cursor& cursor, std::size_t from) {
  notSupported(quoted(cursor.textFrom(from)) + " is not supported in a SELECT statement; " +
               std::string(kSupportedForm) + ".");
}

Value numberConstant(bool negative, std::string_view digits) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc() && end == digits.data() + digits.size()) {
    return Value::integer(negative ? -value : value);
  }
  std::string text = negative ? "-" : "";
  text.append(digits);
  return Value::decimal(std::move(text));
}

SelectItem readItem(Cursor& cursor) {
  SelectItem item;
  const Token& token = cursor.peek();
  if (cursor.acceptSymbol('*')) {
    item.kind = SelectItem::Kind::AllColumns;
    return item;  // Jet allows no alias on *
  }
  if (cursor.atSymbol('-') || cursor.atSymbol('+') || token.kind == TokenKind::Number) {
    const bool negative = cursor.atSymbol('-');
    if (token.kind != TokenKind::Number) cursor.next();
    if (cursor.peek().kind != TokenKind::Number) cursor.syntaxError(kSelectContext);
    item.kind = SelectItem::Kind::Constant;
    item.constant = numberConstant(negative, cursor.next().text);
  } else if (token.kind == TokenKind::String) {
    item.kind = SelectItem::Kind::Constant;
    item.constant = Value::text(cursor.next().value);
  } else if (cursor.acceptWord("NULL")) {
    item.kind = SelectItem::Kind::Constant;
  } else {
    const std::size_t start = cursor.position();
    item.kind = SelectItem::Kind::Column;
    item.column = readName(cursor, "Field", kSelectContext);
    if (cursor.atSymbol('.') || cursor.atSymbol('(')) refuseClause(cursor, start);  // t.a, f(a)
  }
  if (cursor.acceptWord("AS")) item.alias = readName(cursor, "Alias", kSelectContext);
  return item;
}

}  // namespace

Select parseSelect(Cursor& cursor) {
  for (const std::string_view word : {"DISTINCT", "DISTINCTROW", "TOP", "ALL"}) {
    if (cursor.atWord(word)) refuseClause(cursor, cursor.position());
  }
  Select select;
  do {
    select.items.push_back(readItem(cursor));
  } while (cursor.acceptSymbol(','));
  if (cursor.atStatementEnd()) {
    notSupported("SELECT statements without FROM are not supported; " + std::string(kSupportedForm) + ".");
  }
  if (cursor.atWord("INTO")) refuseClause(cursor, cursor.position());
  cursor.expectWord("FROM", kSelectContext);
  if (cursor.atSymbol('(')) refuseClause(cursor, cursor.position());
  select.table = readName(cursor, "Table", kSelectContext);
  if (cursor.acceptWord("WHERE")) {
    const std::size_t start = cursor.position();
    if (cursor.atStatementEnd()) cursor.syntaxError(kSelectContext);
    const bool alwaysFalse = cursor.peek(2).text == "0";
    if (cursor.peek().text == "1" && cursor.peek(1).text == "=" &&
        (alwaysFalse || cursor.peek(2).text == "1") && cursor.peek(2).kind == TokenKind::Number) {
      cursor.next();
      cursor.next();
      cursor.next();
    }
    if (cursor.position() == start || !cursor.atStatementEnd()) {
      notSupported("The WHERE condition " + quoted(cursor.textFrom(start)) +
                   " is not supported; only WHERE 1=0 and WHERE 1=1 are.");
    }
    select.emptyRowset = alwaysFalse;
  }
  if (!cursor.atStatementEnd()) refuseClause(cursor, cursor.position());
  return select;
}

}  // namespace fennick::jet::sql
