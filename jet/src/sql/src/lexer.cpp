// Tokenizer for Jet SQL. Works on UTF-8 bytes: every byte above 0x7F counts
// as a letter, so names in any script need no brackets, as in Jet.
#include "lexer.h"

namespace fennick::jet::sql {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool isWordPart(char c) { return isWordStart(c) || isDigit(c); }

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  const std::size_t n = sql.size();
  while (true) {
    while (pos < n && isBlank(sql[pos])) ++pos;
    Token token;
    token.offset = pos;
    if (pos == n) {
      tokens.push_back(std::move(token));
      return tokens;
    }
    const char c = sql[pos];
    std::size_t end = pos + 1;
    if (isWordStart(c)) {
      token.kind = TokenKind::Word;
      while (end < n && isWordPart(sql[end])) ++end;
    } else if (isDigit(c)) {
      token.kind = TokenKind::Number;
      while (end < n && isDigit(sql[end])) ++end;
      if (end + 1 < n && sql[end] == '.' && isDigit(sql[end + 1])) {
        end += 1;
        while (end < n && isDigit(sql[end])) ++end;
      }
    } else if (c == '[' || c == '`') {
      // Jet has no escape for the closing character inside a delimited name:
      // the first one ends it.
      const std::size_t close = sql.find(c == '[' ? ']' : '`', pos + 1);
      if (close == std::string_view::npos) {
        token.kind = TokenKind::Unterminated;
        end = n;
      } else {
        token.kind = TokenKind::QuotedName;
        token.value = std::string(sql.substr(pos + 1, close - pos - 1));
        end = close + 1;
      }
    } else if (c == '\'' || c == '"') {
      token.kind = TokenKind::Unterminated;
      end = n;
      for (std::size_t i = pos + 1; i < n; ++i) {
        if (sql[i] != c) {
          token.value += sql[i];
        } else if (i + 1 < n && sql[i + 1] == c) {
          token.value += c;
          ++i;
        } else {
          token.kind = TokenKind::String;
          end = i + 1;
          break;
        }
      }
      if (token.kind == TokenKind::Unterminated) token.value.clear();
    } else {
      token.kind = TokenKind::Symbol;
    }
    token.text = sql.substr(pos, end - pos);
    pos = end;
    tokens.push_back(std::move(token));
  }
}

}  // namespace fennick::jet::sql
