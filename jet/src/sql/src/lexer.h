// Splits a Jet SQL statement into tokens. Blanks, tabs, CR and LF separate
// tokens and are otherwise dropped. The lexer never fails: a character no
// token may hold becomes a one-character Symbol, and an unclosed [name],
// `name` or 'string' becomes an Unterminated token, so the parser can report
// it in the words of the statement it was reading.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fennick::jet::sql {

enum class TokenKind {
  Word,          // bare word: keyword or name (letters, digits, _, non-ASCII)
  QuotedName,    // [any text] or `any text`
  Number,        // digits, optionally with a fraction: 18, 0.5
  String,        // 'text' or "text", doubled quotes inside standing for one
  Symbol,        // one character: ( ) , ; = * and anything unexpected
  Unterminated,  // [name, `name or 'string without its closing character
  End,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;  // as written in the statement
  std::string value;      // QuotedName: the name; String: the content
  std::size_t offset = 0; // where `text` starts in the statement
};

// The last token is always End. Token views point into `sql`.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace fennick::jet::sql
