// One SQLite cell as a Value of the Oracle kind its column's declared type
// calls for. Private to the SQLite source.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sqlite3.h>

#include "core/value.h"
#include "declared_type.h"

namespace fennick {

// The current row's cell `column`; `kind` is empty for a column without a
// declared type (an expression), which keeps SQLite's storage class. Throws
// naming the column when a DATE/TIMESTAMP cell holds no date.
Value readCell(sqlite3_stmt* statement, int column, std::optional<ValueKind> kind,
               const std::string& columnName);

// The number a text spells ("-12.50", "1e3"): Integer when integral and in
// range, Decimal when a double would lose digits, else Double; nothing when
// the text is not a number.
std::optional<Value> numberFromText(std::string_view text);

// SQLite's date conventions: ISO-8601 text ("YYYY-MM-DD[ HH:MM[:SS[.fff]]]",
// 'T' allowed, a zone suffix ignored) and numbers read as SQLite's 'auto'
// modifier reads them (0 to 5373484.5 a Julian day, otherwise Unix time).
std::optional<DateTime> dateFromText(std::string_view text);
std::optional<DateTime> dateFromNumber(double number);

}  // namespace fennick
