// How a column's declared type reads as an Oracle type: the values Oracle's
// catalogue (user_tab_columns) shows for it and the kind of value a row
// returns. Pure text processing; no SQLite involved.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fennick {

// The kind of Value a column's cells are returned as.
enum class ValueKind {
  Number,   // NUMBER, FLOAT: Integer, Double or Decimal
  Double,   // BINARY_FLOAT, BINARY_DOUBLE
  Date,     // DATE, TIMESTAMP...: DateTime
  Text,     // character types, CLOB, LONG, INTERVAL, ROWID
  Binary,   // BLOB, RAW, LONG RAW, BFILE: Bytes
};

struct OracleType {
  std::string dataType;             // user_tab_columns.data_type
  int dataLength = 0;               // in bytes
  std::optional<int> precision;     // NULL where Oracle shows NULL
  std::optional<int> scale;
  int charLength = 0;               // characters; 0 for non-character types
  std::optional<char> charUsed;     // 'B' or 'C' for character types
  ValueKind values = ValueKind::Text;
};

// Reads a declared type as Oracle reads the same text in its CREATE TABLE
// (case-insensitive, any spacing). A type Oracle does not know maps to the
// Oracle type that holds SQLite's values for it without loss (README.md).
OracleType readDeclaredType(std::string_view declared);

}  // namespace fennick
