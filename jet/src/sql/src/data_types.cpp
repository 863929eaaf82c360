// Jet's data type names and their synonyms, as the Jet 4 OLE DB provider
// reads them in a field definition, with their sizes and arguments:
//   TEXT            Memo; TEXT(n) is Text(n), n 1-255
//   CHAR, VARCHAR   Text(n) or Text(255); CHAR is fixed length
//   BINARY          Binary(n), n 1-255 (Jet 3) or 1-510 (Jet 4); without a
//                   size the format's largest
//   COUNTER         Long numbered by Jet, optionally (seed, increment)
//   DECIMAL         (precision 1-28, scale 0-precision), default (18, 0);
//                   Jet 4 only
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/utf.h"
#include "grammar.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

enum class Form {
  Plain,      // no arguments
  DoubleWord, // DOUBLE [PRECISION]
  TextOrMemo, // TEXT: Memo, or Text(n) with a size
  Character,  // CHAR-like: [VARYING] [(n)]
  National,   // NATIONAL CHAR[ACTER] [VARYING] [(n)]
  Binary,     // [VARYING] [(n)]
  Bit,        // BIT is Boolean, BIT VARYING is Binary
  Counter,    // [(seed, increment)]
  Decimal,    // [(precision [, scale])]
};

struct TypeWord {
  std::string_view word;
  ColumnType type;
  Form form;
  bool fixedLength = false;
};

constexpr TypeWord kTypeWords[] = {
    {"BIT", ColumnType::Boolean, Form::Bit},
    {"BOOLEAN", ColumnType::Boolean, Form::Plain},
    {"LOGICAL", ColumnType::Boolean, Form::Plain},
    {"LOGICAL1", ColumnType::Boolean, Form::Plain},
    {"YESNO", ColumnType::Boolean, Form::Plain},
    {"BYTE", ColumnType::Byte, Form::Plain},
    {"TINYINT", ColumnType::Byte, Form::Plain},
    {"INTEGER1", ColumnType::Byte, Form::Plain},
    {"SMALLINT", ColumnType::Integer, Form::Plain},
    {"SHORT", ColumnType::Integer, Form::Plain},
    {"INTEGER2", ColumnType::Integer, Form::Plain},
    {"INTEGER", ColumnType::Long, Form::Plain},
    {"INT", ColumnType::Long, Form::Plain},
    {"LONG", ColumnType::Long, Form::Plain},
    {"INTEGER4", ColumnType::Long, Form::Plain},
    {"COUNTER", ColumnType::Long, Form::Counter},
    {"AUTOINCREMENT", ColumnType::Long, Form::Counter},
    {"IDENTITY", ColumnType::Long, Form::Counter},
    {"CURRENCY", ColumnType::Currency, Form::Plain},
    {"MONEY", ColumnType::Currency, Form::Plain},
    {"REAL", ColumnType::Single, Form::Plain},
    {"SINGLE", ColumnType::Single, Form::Plain},
    {"FLOAT4", ColumnType::Single, Form::Plain},
    {"IEEESINGLE", ColumnType::Single, Form::Plain},
    {"DOUBLE", ColumnType::Double, Form::DoubleWord},
    {"FLOAT", ColumnType::Double, Form::Plain},
    {"FLOAT8", ColumnType::Double, Form::Plain},
    {"IEEEDOUBLE", ColumnType::Double, Form::Plain},
    {"NUMBER", ColumnType::Double, Form::Plain},
    {"DATETIME", ColumnType::DateTime, Form::Plain},
    {"DATE", ColumnType::DateTime, Form::Plain},
    {"TIME", ColumnType::DateTime, Form::Plain},
    {"TIMESTAMP", ColumnType::DateTime, Form::Plain},
    {"TEXT", ColumnType::Text, Form::TextOrMemo},
    {"CHAR", ColumnType::Text, Form::Character, true},
    {"CHARACTER", ColumnType::Text, Form::Character, true},
    {"NCHAR", ColumnType::Text, Form::Character, true},
    {"VARCHAR", ColumnType::Text, Form::Character},
    {"ALPHANUMERIC", ColumnType::Text, Form::Character},
    {"STRING", ColumnType::Text, Form::Character},
    {"NATIONAL", ColumnType::Text, Form::National, true},
    {"MEMO", ColumnType::Memo, Form::Plain},
    {"LONGTEXT", ColumnType::Memo, Form::Plain},
    {"LONGCHAR", ColumnType::Memo, Form::Plain},
    {"NOTE", ColumnType::Memo, Form::Plain},
    {"NTEXT", ColumnType::Memo, Form::Plain},
    {"OLEOBJECT", ColumnType::OleObject, Form::Plain},
    {"LONGBINARY", ColumnType::OleObject, Form::Plain},
    {"IMAGE", ColumnType::OleObject, Form::Plain},
    {"GENERAL", ColumnType::OleObject, Form::Plain},
    {"BINARY", ColumnType::Binary, Form::Binary},
    {"VARBINARY", ColumnType::Binary, Form::Binary},
    {"GUID", ColumnType::Guid, Form::Plain},
    {"UNIQUEIDENTIFIER", ColumnType::Guid, Form::Plain},
    {"DECIMAL", ColumnType::Decimal, Form::Decimal},
    {"NUMERIC", ColumnType::Decimal, Form::Decimal},
    {"DEC", ColumnType::Decimal, Form::Decimal},
};

const TypeWord* findTypeWord(const Token& token) {
  if (token.kind != TokenKind::Word) return nullptr;
  for (const TypeWord& word : kTypeWords)
    if (equalsIgnoreAsciiCase(token.text, word.word)) return &word;
  return nullptr;
}

// An integer argument, optionally signed. Values far beyond any Jet limit
// come back clamped, so range checks refuse them without overflow.
std::int64_t readInteger(Cursor& cursor, bool allowSign, const std::string& context,
                         std::string& written) {
  bool negative = false;
  if (allowSign && (cursor.atSymbol('-') || cursor.atSymbol('+'))) {
    negative = cursor.next().text[0] == '-';
  }
  const Token& token = cursor.peek();
  if (token.kind != TokenKind::Number || token.text.find('.') != std::string_view::npos)
    cursor.syntaxError(context);
  constexpr std::int64_t kClamp = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (const char digit : token.text) value = std::min(kClamp, value * 10 + (digit - '0'));
  written = std::string(negative ? "-" : "") + std::string(token.text);
  cursor.next();
  return negative ? -value : value;
}

std::optional<std::int64_t> readSize(Cursor& cursor, const std::string& context, std::string& written) {
  if (!cursor.acceptSymbol('(')) return std::nullopt;
  const std::int64_t size = readInteger(cursor, false, context, written);
  cursor.expectSymbol(')', context);
  return size;
}

void checkRange(const ColumnDef& column, std::int64_t value, const std::string& written,
                std::int64_t low, std::int64_t high, std::string_view what) {
  if (value < low || value > high) {
    invalid("Field " + quoted(column.name) + " has " + std::string(what) + " " + written +
            "; it must be between " + std::to_string(low) + " and " + std::to_string(high) + ".");
  }
}

void readCharacterSize(Cursor& cursor, ColumnDef& column, const std::string& context) {
  std::string written;
  const auto size = readSize(cursor, context, written);
  checkRange(column, size.value_or(255), written, 1, 255, "Text size");
  column.size = static_cast<std::uint16_t>(size.value_or(255));
}

void readBinarySize(Cursor& cursor, ColumnDef& column, JetFormat format, const std::string& context) {
  const std::int64_t largest = format == JetFormat::Jet3 ? 255 : 510;
  std::string written;
  const auto size = readSize(cursor, context, written);
  checkRange(column, size.value_or(largest), written, 1, largest, "Binary size");
  column.size = static_cast<std::uint16_t>(size.value_or(largest));
}

void readCounterArguments(Cursor& cursor, ColumnDef& column, const std::string& context) {
  AutoIncrement counter;
  if (cursor.acceptSymbol('(')) {
    constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
    std::string written;
    const std::int64_t seed = readInteger(cursor, true, context, written);
    checkRange(column, seed, written, kLow, kHigh, "COUNTER seed");
    cursor.expectSymbol(',', context);
    const std::int64_t increment = readInteger(cursor, true, context, written);
    checkRange(column, increment, written, kLow, kHigh, "COUNTER increment");
    if (increment == 0) invalid("Field " + quoted(column.name) + " has COUNTER increment 0; it must not be zero.");
    cursor.expectSymbol(')', context);
    counter = {static_cast<std::int32_t>(seed), static_cast<std::int32_t>(increment)};
  }
  column.autoIncrement = counter;
}

void readDecimalArguments(Cursor& cursor, ColumnDef& column, JetFormat format,
                          const std::string& context) {
  if (format == JetFormat::Jet3) {
    invalid("Field " + quoted(column.name) +
            " is DECIMAL, which a Jet 3 (Access 95/97) database cannot hold.");
  }
  std::int64_t precision = 18, scale = 0;
  if (cursor.acceptSymbol('(')) {
    std::string written;
    precision = readInteger(cursor, false, context, written);
    checkRange(column, precision, written, 1, 28, "DECIMAL precision");
    if (cursor.acceptSymbol(',')) {
      scale = readInteger(cursor, false, context, written);
      checkRange(column, scale, written, 0, precision, "DECIMAL scale");
    }
    cursor.expectSymbol(')', context);
  }
  column.precision = static_cast<std::uint8_t>(precision);
  column.scale = static_cast<std::uint8_t>(scale);
}

}  // namespace

bool atDataType(const Cursor& cursor) { return findTypeWord(cursor.peek()) != nullptr; }

void readDataType(Cursor& cursor, ColumnDef& column, JetFormat format) {
  const std::string context = fieldContext(column.name);
  const TypeWord* word = findTypeWord(cursor.peek());
  if (!word) cursor.syntaxError(context);
  cursor.next();
  column.type = word->type;
  column.fixedLength = word->fixedLength;
  switch (word->form) {
    case Form::Plain:
      break;
    case Form::DoubleWord:
      cursor.acceptWord("PRECISION");
      break;
    case Form::TextOrMemo:
      if (cursor.atSymbol('(')) {
        readCharacterSize(cursor, column, context);
      } else {
        column.type = ColumnType::Memo;
      }
      break;
    case Form::National:
      if (!cursor.acceptWord("CHAR") && !cursor.acceptWord("CHARACTER")) cursor.syntaxError(context);
      [[fallthrough]];
    case Form::Character:
      if (column.fixedLength && cursor.acceptWord("VARYING")) column.fixedLength = false;
      readCharacterSize(cursor, column, context);
      break;
    case Form::Bit:
      if (!cursor.acceptWord("VARYING")) break;
      column.type = ColumnType::Binary;
      readBinarySize(cursor, column, format, context);
      break;
    case Form::Binary:
      if (equalsIgnoreAsciiCase(word->word, "BINARY")) cursor.acceptWord("VARYING");
      readBinarySize(cursor, column, format, context);
      break;
    case Form::Counter:
      readCounterArguments(cursor, column, context);
      break;
    case Form::Decimal:
      readDecimalArguments(cursor, column, format, context);
      break;
  }
}

}  // namespace fennick::jet::sql
