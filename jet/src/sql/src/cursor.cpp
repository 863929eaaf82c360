// Token cursor and syntax-error wording. Relies on the lexer and on core's
// ASCII case comparison.
#include "cursor.h"

#include "core/utf.h"
#include "jet_sql/error.h"
#include "quoting.h"

namespace fennick::jet::sql {

Cursor::Cursor(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {}

const Token& Cursor::peek(std::size_t ahead) const {
  const std::size_t i = index_ + ahead;
  return i < tokens_.size() ? tokens_[i] : tokens_.back();
}

const Token& Cursor::next() {
  const Token& token = peek();
  if (index_ + 1 < tokens_.size()) ++index_;
  return token;
}

bool Cursor::atWord(std::string_view keyword, std::size_t ahead) const {
  const Token& token = peek(ahead);
  return token.kind == TokenKind::Word && equalsIgnoreAsciiCase(token.text, keyword);
}

bool Cursor::acceptWord(std::string_view keyword) {
  if (!atWord(keyword)) return false;
  next();
  return true;
}

void Cursor::expectWord(std::string_view keyword, std::string_view context) {
  if (!acceptWord(keyword)) syntaxError(context);
}

bool Cursor::atSymbol(char symbol, std::size_t ahead) const {
  const Token& token = peek(ahead);
  return token.kind == TokenKind::Symbol && token.text[0] == symbol;
}

bool Cursor::acceptSymbol(char symbol) {
  if (!atSymbol(symbol)) return false;
  next();
  return true;
}

void Cursor::expectSymbol(char symbol, std::string_view context) {
  if (!acceptSymbol(symbol)) syntaxError(context);
}

bool Cursor::atStatementEnd() const {
  return peek().kind == TokenKind::End ||
         (atSymbol(';') && peek(1).kind == TokenKind::End);
}

std::string_view Cursor::textFrom(std::size_t tokenIndex) const {
  std::size_t last = tokens_.size() - 1;  // End
  if (last > 0 && tokens_[last - 1].kind == TokenKind::Symbol && tokens_[last - 1].text == ";")
    --last;
  if (tokenIndex >= last) return {};
  const Token& first = tokens_[tokenIndex];
  const Token& final = tokens_[last - 1];
  return sql_.substr(first.offset, final.offset + final.text.size() - first.offset);
}

void Cursor::syntaxError(std::string_view context) const {
  const Token& token = peek();
  std::string message(context);
  if (token.kind == TokenKind::End) {
    if (index_ == 0) {
      message += ": the statement is empty.";
    } else {
      message += ": the statement ends after " + quoted(tokens_[index_ - 1].text) + ".";
    }
  } else if (token.kind == TokenKind::Unterminated) {
    const char opener = token.text[0];
    message += " near " + quoted(token.text) + ": the ";
    if (opener == '[') {
      message += "name has no closing \"]\".";
    } else if (opener == '`') {
      message += "name has no closing \"`\".";
    } else {
      message += "text has no closing quote.";
    }
  } else {
    message += " near " + quoted(token.text) + ".";
  }
  throw SqlError(SqlError::Kind::Syntax, message);
}

}  // namespace fennick::jet::sql
