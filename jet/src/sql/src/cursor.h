// A read position in a statement's tokens, with the checks every statement
// parser needs and the wording of syntax errors: a context phrase as Jet
// words it ("Syntax error in CREATE TABLE statement") plus the token where
// reading stopped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lexer.h"

namespace fennick::jet::sql {

class Cursor {
 public:
  explicit Cursor(std::string_view sql);

  const Token& peek(std::size_t ahead = 0) const;
  const Token& next();
  std::size_t position() const { return index_; }

  // Keywords compare without regard to ASCII case.
  bool atWord(std::string_view keyword, std::size_t ahead = 0) const;
  bool acceptWord(std::string_view keyword);
  void expectWord(std::string_view keyword, std::string_view context);
  bool atSymbol(char symbol, std::size_t ahead = 0) const;
  bool acceptSymbol(char symbol);
  void expectSymbol(char symbol, std::string_view context);

  // True when only an optional ";" remains.
  bool atStatementEnd() const;

  // The statement's text from the token at `tokenIndex` to the end, without
  // the trailing ";" and blanks.
  std::string_view textFrom(std::size_t tokenIndex) const;

  // Throws SqlError(Syntax): "<context> near "<token>"." or, at the end,
  // "<context>: the statement ends after "<last token>".".
  [[noreturn]] void syntaxError(std::string_view context) const;

 private:
  std::string_view sql_;
  std::vector<Token> tokens_;
  std::size_t index_ = 0;
};

}  // namespace fennick::jet::sql
