// Reading a declared column type as Oracle reads it: a small tokenizer and
// one recursive-descent pass over Oracle's type grammar, with SQLite's
// affinity rules for the names Oracle does not know. Relies on core/utf.h.
#include "declared_type.h"

#include <algorithm>
#include <vector>

#include "core/utf.h"

namespace fennick {

namespace {

struct Token {
  enum class Kind { Word, Number, Symbol } kind;
  std::string text;  // upper-cased word, digits, or the symbol
};

bool isWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::vector<Token> tokenize(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      ++i;
    } else if (c >= '0' && c <= '9') {
      std::size_t j = i;
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
      tokens.push_back({Token::Kind::Number, std::string(text.substr(i, j - i))});
      i = j;
    } else if (isWordChar(c)) {
      std::size_t j = i;
      while (j < text.size() && isWordChar(text[j])) ++j;
      tokens.push_back({Token::Kind::Word, asciiUpper(text.substr(i, j - i))});
      i = j;
    } else {
      tokens.push_back({Token::Kind::Symbol, std::string(1, c)});
      ++i;
    }
  }
  return tokens;
}

// Walks the tokens; every take* consumes only on a match.
class Cursor {
 public:
  explicit Cursor(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool atEnd() const { return pos_ == tokens_.size(); }
  bool nextIsSymbol(std::string_view symbol) const {
    return !atEnd() && tokens_[pos_].kind == Token::Kind::Symbol && tokens_[pos_].text == symbol;
  }
  bool takeWord(std::string_view word) { return take(Token::Kind::Word, word); }
  bool takeSymbol(std::string_view symbol) { return take(Token::Kind::Symbol, symbol); }
  std::string takeAnyWord() {
    if (atEnd() || tokens_[pos_].kind != Token::Kind::Word) return {};
    return tokens_[pos_++].text;
  }
  // An integer in [low, high], optionally negative.
  std::optional<int> takeNumber(int low, int high) {
    const std::size_t start = pos_;
    const bool negative = takeSymbol("-");
    if (atEnd() || tokens_[pos_].kind != Token::Kind::Number || tokens_[pos_].text.size() > 6) {
      pos_ = start;
      return std::nullopt;
    }
    int value = std::stoi(tokens_[pos_].text) * (negative ? -1 : 1);
    if (value < low || value > high) {
      pos_ = start;
      return std::nullopt;
    }
    ++pos_;
    return value;
  }

 private:
  bool take(Token::Kind kind, std::string_view text) {
    if (atEnd() || tokens_[pos_].kind != kind || tokens_[pos_].text != text) return false;
    ++pos_;
    return true;
  }
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
};

OracleType number(std::optional<int> precision, std::optional<int> scale) {
  return {"NUMBER", 22, precision, scale, 0, std::nullopt, ValueKind::Number};
}
OracleType floatType(int binaryPrecision) {
  return {"FLOAT", 22, binaryPrecision, std::nullopt, 0, std::nullopt, ValueKind::Number};
}
OracleType fixed(std::string name, int length, ValueKind values) {
  return {std::move(name), length, std::nullopt, std::nullopt, 0, std::nullopt, values};
}
// Database-character-set types: AL32UTF8 takes up to four bytes a character.
OracleType character(std::string name, int length, bool charSemantics, int maxBytes) {
  if (charSemantics)
    return {std::move(name), std::min(length * 4, maxBytes), std::nullopt, std::nullopt,
            length, 'C', ValueKind::Text};
  return {std::move(name), length, std::nullopt, std::nullopt, length, 'B', ValueKind::Text};
}
// National-character-set types: AL16UTF16, two bytes a character.
OracleType national(std::string name, int length) {
  return {std::move(name), length * 2, std::nullopt, std::nullopt, length, 'C', ValueKind::Text};
}

// "(n [BYTE|CHAR])": the length and whether it counts characters.
struct DeclaredLength {
  int length;
  bool charSemantics;
};
std::optional<DeclaredLength> takeLength(Cursor& c, int maxLength) {
  if (!c.takeSymbol("(")) return std::nullopt;
  const auto n = c.takeNumber(1, maxLength);
  if (!n) return std::nullopt;
  bool chars = false;
  if (c.takeWord("CHAR")) chars = true;
  else c.takeWord("BYTE");
  if (!c.takeSymbol(")")) return std::nullopt;
  return DeclaredLength{*n, chars};
}
// "(n)" with n in range; `fallback` when there is no parenthesis at all.
std::optional<int> takeOptionalArg(Cursor& c, int low, int high, int fallback) {
  if (!c.takeSymbol("(")) return fallback;
  const auto n = c.takeNumber(low, high);
  if (!n || !c.takeSymbol(")")) return std::nullopt;
  return n;
}

std::optional<OracleType> parseNumber(Cursor& c) {
  if (!c.takeSymbol("(")) return number(std::nullopt, std::nullopt);
  std::optional<int> precision;
  if (!c.takeSymbol("*")) {
    precision = c.takeNumber(1, 38);
    if (!precision) return std::nullopt;
  }
  std::optional<int> scale;
  if (c.takeSymbol(",")) {
    scale = c.takeNumber(-84, 127);
    if (!scale) return std::nullopt;
  } else if (precision) {
    scale = 0;
  }
  if (!c.takeSymbol(")")) return std::nullopt;
  return number(precision, scale);
}

std::optional<OracleType> parseDecimal(Cursor& c) {
  if (!c.takeSymbol("(")) return number(std::nullopt, 0);
  const auto precision = c.takeNumber(1, 38);
  if (!precision) return std::nullopt;
  int scale = 0;
  if (c.takeSymbol(",")) {
    const auto s = c.takeNumber(-84, 127);
    if (!s) return std::nullopt;
    scale = *s;
  }
  if (!c.takeSymbol(")")) return std::nullopt;
  return number(precision, scale);
}

std::optional<OracleType> parseTimestamp(Cursor& c) {
  const auto fraction = takeOptionalArg(c, 0, 9, 6);
  if (!fraction) return std::nullopt;
  std::string name = "TIMESTAMP(" + std::to_string(*fraction) + ")";
  int length = 11;
  if (c.takeWord("WITH")) {
    const bool local = c.takeWord("LOCAL");
    if (!c.takeWord("TIME") || !c.takeWord("ZONE")) return std::nullopt;
    name += local ? " WITH LOCAL TIME ZONE" : " WITH TIME ZONE";
    if (!local) length = 13;
  }
  OracleType type = fixed(name, length, ValueKind::Date);
  type.scale = *fraction;
  return type;
}

std::optional<OracleType> parseInterval(Cursor& c) {
  if (c.takeWord("YEAR")) {
    const auto years = takeOptionalArg(c, 0, 9, 2);
    if (!years || !c.takeWord("TO") || !c.takeWord("MONTH")) return std::nullopt;
    OracleType type =
        fixed("INTERVAL YEAR(" + std::to_string(*years) + ") TO MONTH", 5, ValueKind::Text);
    type.precision = *years;
    type.scale = 0;
    return type;
  }
  if (c.takeWord("DAY")) {
    const auto days = takeOptionalArg(c, 0, 9, 2);
    if (!days || !c.takeWord("TO") || !c.takeWord("SECOND")) return std::nullopt;
    const auto fraction = takeOptionalArg(c, 0, 9, 6);
    if (!fraction) return std::nullopt;
    OracleType type = fixed("INTERVAL DAY(" + std::to_string(*days) + ") TO SECOND(" +
                                std::to_string(*fraction) + ")",
                            11, ValueKind::Text);
    type.precision = *days;
    type.scale = *fraction;
    return type;
  }
  return std::nullopt;
}

std::optional<OracleType> parseNationalRest(Cursor& c) {
  if (c.takeWord("VARYING")) {
    const auto declared = takeLength(c, 16383);
    if (!declared || declared->charSemantics) return std::nullopt;
    return national("NVARCHAR2", declared->length);
  }
  const auto n = takeOptionalArg(c, 1, 1000, 1);
  if (!n) return std::nullopt;
  return national("NCHAR", *n);
}

std::optional<OracleType> parseOracleType(Cursor& c) {
  const std::string word = c.takeAnyWord();
  if (word == "NUMBER") return parseNumber(c);
  if (word == "DECIMAL" || word == "DEC" || word == "NUMERIC") return parseDecimal(c);
  if (word == "INTEGER" || word == "INT" || word == "SMALLINT") return number(std::nullopt, 0);
  if (word == "FLOAT") {
    const auto bits = takeOptionalArg(c, 1, 126, 126);
    if (!bits) return std::nullopt;
    return floatType(*bits);
  }
  if (word == "REAL") return floatType(63);
  if (word == "DOUBLE") {
    if (!c.takeWord("PRECISION")) return std::nullopt;
    return floatType(126);
  }
  if (word == "BINARY_FLOAT") return fixed(word, 4, ValueKind::Double);
  if (word == "BINARY_DOUBLE") return fixed(word, 8, ValueKind::Double);
  if (word == "VARCHAR2" || word == "VARCHAR") {
    const auto declared = takeLength(c, 32767);
    if (!declared) return std::nullopt;
    return character("VARCHAR2", declared->length, declared->charSemantics,
                     declared->length > 4000 ? 32767 : 4000);
  }
  if (word == "CHAR" || word == "CHARACTER") {
    if (c.takeWord("VARYING")) {
      const auto declared = takeLength(c, 32767);
      if (!declared) return std::nullopt;
      return character("VARCHAR2", declared->length, declared->charSemantics,
                       declared->length > 4000 ? 32767 : 4000);
    }
    DeclaredLength declared{1, false};
    if (c.nextIsSymbol("(")) {
      const auto given = takeLength(c, 2000);
      if (!given) return std::nullopt;
      declared = *given;
    }
    return character("CHAR", declared.length, declared.charSemantics, 2000);
  }
  if (word == "NCHAR") return parseNationalRest(c);
  if (word == "NATIONAL") {
    if (!c.takeWord("CHARACTER") && !c.takeWord("CHAR")) return std::nullopt;
    return parseNationalRest(c);
  }
  if (word == "NVARCHAR2") {
    const auto declared = takeLength(c, 16383);
    if (!declared || declared->charSemantics) return std::nullopt;
    return national("NVARCHAR2", declared->length);
  }
  if (word == "DATE") return fixed("DATE", 7, ValueKind::Date);
  if (word == "TIMESTAMP") return parseTimestamp(c);
  if (word == "INTERVAL") return parseInterval(c);
  if (word == "BLOB") return fixed("BLOB", 4000, ValueKind::Binary);
  if (word == "CLOB") return fixed("CLOB", 4000, ValueKind::Text);
  if (word == "NCLOB") return fixed("NCLOB", 4000, ValueKind::Text);
  if (word == "BFILE") return fixed("BFILE", 530, ValueKind::Binary);
  if (word == "LONG") {
    if (c.takeWord("RAW")) return fixed("LONG RAW", 0, ValueKind::Binary);
    c.takeWord("VARCHAR");
    return fixed("LONG", 0, ValueKind::Text);
  }
  if (word == "RAW") {
    const auto n = takeOptionalArg(c, 1, 32767, 0);
    if (!n || *n == 0) return std::nullopt;
    return fixed("RAW", *n, ValueKind::Binary);
  }
  if (word == "ROWID") return fixed("ROWID", 10, ValueKind::Text);
  if (word == "UROWID") {
    const auto n = takeOptionalArg(c, 1, 4000, 4000);
    if (!n) return std::nullopt;
    return fixed("UROWID", *n, ValueKind::Text);
  }
  return std::nullopt;
}

bool contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// SQLite's affinity rules, in SQLite's order, each mapped to the Oracle type
// that holds what such a column can store.
OracleType byAffinity(std::string_view declared) {
  const std::string upper = asciiUpper(declared);
  if (contains(upper, "INT")) return number(std::nullopt, 0);
  if (contains(upper, "CHAR") || contains(upper, "CLOB") || contains(upper, "TEXT"))
    return fixed("CLOB", 4000, ValueKind::Text);
  if (contains(upper, "BLOB")) return fixed("BLOB", 4000, ValueKind::Binary);
  if (upper.find_first_not_of(" \t\r\n") == std::string::npos)
    return fixed("CLOB", 4000, ValueKind::Text);  // no type: numbers and text as text
  if (contains(upper, "REAL") || contains(upper, "FLOA") || contains(upper, "DOUB"))
    return fixed("BINARY_DOUBLE", 8, ValueKind::Double);
  if (contains(upper, "DATE")) {  // DATETIME and the like
    OracleType type = fixed("TIMESTAMP(9)", 11, ValueKind::Date);
    type.scale = 9;
    return type;
  }
  if (contains(upper, "BOOL")) return number(1, 0);
  return number(std::nullopt, std::nullopt);
}

}  // namespace

OracleType readDeclaredType(std::string_view declared) {
  Cursor cursor(tokenize(declared));
  if (auto type = parseOracleType(cursor); type && cursor.atEnd()) return *type;
  return byAffinity(declared);
}

}  // namespace fennick
