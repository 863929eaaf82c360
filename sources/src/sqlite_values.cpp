// Reading SQLite cells as Oracle-kind Values: numbers held as text, dates in
// SQLite's three stored forms, large objects. Relies on core/value.h for
// DateTime's calendar arithmetic.
#include "sqlite_values.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace fennick {

namespace {

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view cellText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  const int size = sqlite3_column_bytes(statement, column);
  return text ? std::string_view(text, static_cast<std::size_t>(size)) : std::string_view();
}

Value cellBytes(sqlite3_stmt* statement, int column) {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
  const int size = sqlite3_column_bytes(statement, column);
  return Value::bytes(data ? Bytes(data, data + size) : Bytes());
}

// A double that is a whole number within int64 reads as an Integer.
Value numberFromDouble(double d) {
  if (std::isfinite(d) && d == std::floor(d) && d >= -9.2e18 && d <= 9.2e18)
    return Value::integer(static_cast<std::int64_t>(d));
  return Value::real(d);
}

// SQLite turns number text written into a NUMBER column into a double (15
// digits); digits held as a blob or in an ANY column stay exact and are read
// here as the number they spell.
Value readNumber(sqlite3_stmt* statement, int column) {
  const int storage = sqlite3_column_type(statement, column);
  if (storage == SQLITE_INTEGER) return Value::integer(sqlite3_column_int64(statement, column));
  if (storage == SQLITE_FLOAT) return numberFromDouble(sqlite3_column_double(statement, column));
  if (storage == SQLITE_BLOB) {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    if (auto number = numberFromText(std::string_view(data ? data : "", data ? size : 0)))
      return *number;
    return cellBytes(statement, column);
  }
  const std::string_view text = cellText(statement, column);
  if (auto number = numberFromText(text)) return *number;
  return Value::text(std::string(text));  // SQLite let a non-number in; pass it on as it is
}

Value readDouble(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return Value::real(sqlite3_column_double(statement, column));
    case SQLITE_BLOB: return cellBytes(statement, column);
    default: break;
  }
  const std::string_view text = cellText(statement, column);
  const std::string_view number = trim(text);
  double d = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), d);
  if (error == std::errc() && end == number.data() + number.size() && !number.empty())
    return Value::real(d);
  return Value::text(std::string(text));
}

Value readDate(sqlite3_stmt* statement, int column, const std::string& columnName) {
  std::optional<DateTime> date;
  std::string shown;
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
      const double number = sqlite3_column_double(statement, column);
      date = dateFromNumber(number);
      shown = std::string(cellText(statement, column));
      break;
    }
    case SQLITE_BLOB:
      shown = "binary data";
      break;
    default:
      shown = std::string(cellText(statement, column));
      date = dateFromText(shown);
      break;
  }
  if (!date) {
    if (shown.size() > 60) shown = shown.substr(0, 60) + "...";
    throw std::runtime_error("Column '" + columnName + "' holds '" + shown +
                             "', which is not a date");
  }
  return Value::dateTime(*date);
}

// Reads exactly `count` digits at `pos` into `out`.
bool takeDigits(std::string_view text, std::size_t& pos, std::size_t count, int& out) {
  if (pos + count > text.size()) return false;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!isDigit(text[pos + i])) return false;
    value = value * 10 + (text[pos + i] - '0');
  }
  pos += count;
  out = value;
  return true;
}

bool takeChar(std::string_view text, std::size_t& pos, char c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

// The zone suffix SQLite accepts: "Z" or "[+-]HH:MM". The civil time is
// kept as written.
bool isZoneSuffix(std::string_view rest) {
  rest = trim(rest);
  if (rest.empty() || rest == "Z" || rest == "z") return true;
  std::size_t pos = 1;
  int hours = 0, minutes = 0;
  return (rest[0] == '+' || rest[0] == '-') && takeDigits(rest, pos, 2, hours) &&
         takeChar(rest, pos, ':') && takeDigits(rest, pos, 2, minutes) && pos == rest.size();
}

}  // namespace

std::optional<Value> numberFromText(std::string_view text) {
  const std::string_view number = trim(text);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < number.size() && (number[pos] == '+' || number[pos] == '-'))
    negative = number[pos++] == '-';
  std::string digits;  // significant digits without leading zeros
  std::size_t integerDigits = 0, fractionDigits = 0;
  while (pos < number.size() && isDigit(number[pos])) {
    if (!digits.empty() || number[pos] != '0') digits += number[pos];
    ++integerDigits;
    ++pos;
  }
  const std::size_t integerSignificant = digits.size();
  std::string fraction;
  if (pos < number.size() && number[pos] == '.') {
    ++pos;
    while (pos < number.size() && isDigit(number[pos])) {
      fraction += number[pos++];
      ++fractionDigits;
    }
  }
  if (integerDigits + fractionDigits == 0) return std::nullopt;
  bool exponent = false;
  if (pos < number.size() && (number[pos] == 'e' || number[pos] == 'E')) {
    exponent = true;
    ++pos;
    if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) ++pos;
    const std::size_t start = pos;
    while (pos < number.size() && isDigit(number[pos])) ++pos;
    if (pos == start) return std::nullopt;
  }
  if (pos != number.size()) return std::nullopt;

  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!exponent && fraction.empty()) {
    std::int64_t value = 0;
    const std::string whole = (negative ? "-" : "") + (digits.empty() ? std::string("0") : digits);
    const auto [end, error] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
    if (error == std::errc() && end == whole.data() + whole.size()) return Value::integer(value);
  }
  // Significant digits in all: a double keeps 15 of them exactly.
  std::size_t significant = integerSignificant + fraction.size();
  if (integerSignificant == 0) {
    const auto firstNonZero = fraction.find_first_not_of('0');
    significant = firstNonZero == std::string::npos ? 0 : fraction.size() - firstNonZero;
  }
  if (!exponent && significant > 15) {
    std::string exact = negative ? "-" : "";
    exact += digits.empty() ? "0" : digits;
    if (!fraction.empty()) exact += "." + fraction;
    return Value::decimal(exact);
  }
  std::string plain(number);
  if (!plain.empty() && plain[0] == '+') plain.erase(0, 1);
  double d = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), d);
  if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
  return numberFromDouble(d);
}

std::optional<DateTime> dateFromText(std::string_view text) {
  text = trim(text);
  DateTime t;
  t.hour = t.minute = t.second = 0;
  std::size_t pos = 0;
  if (!takeDigits(text, pos, 4, t.year) || !takeChar(text, pos, '-') ||
      !takeDigits(text, pos, 2, t.month) || !takeChar(text, pos, '-') ||
      !takeDigits(text, pos, 2, t.day))
    return std::nullopt;
  if (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T')) {
    std::size_t timePos = pos + 1;
    while (timePos < text.size() && text[timePos] == ' ') ++timePos;
    if (!takeDigits(text, timePos, 2, t.hour) || !takeChar(text, timePos, ':') ||
        !takeDigits(text, timePos, 2, t.minute))
      return std::nullopt;
    if (takeChar(text, timePos, ':')) {
      if (!takeDigits(text, timePos, 2, t.second)) return std::nullopt;
      if (takeChar(text, timePos, '.')) {
        int digitsRead = 0;
        while (timePos < text.size() && isDigit(text[timePos])) {
          if (digitsRead < 9) {
            t.nanosecond = t.nanosecond * 10 + (text[timePos] - '0');
            ++digitsRead;
          }
          ++timePos;
        }
        if (digitsRead == 0) return std::nullopt;
        for (int i = digitsRead; i < 9; ++i) t.nanosecond *= 10;
      }
    }
    pos = timePos;
  }
  if (!isZoneSuffix(text.substr(pos))) return std::nullopt;
  if (t.year < 1 || t.hour > 23 || t.minute > 59 || t.second > 59 || !t.isValid())
    return std::nullopt;
  return t;
}

std::optional<DateTime> dateFromNumber(double number) {
  if (!std::isfinite(number)) return std::nullopt;
  // Milliseconds since 1970-01-01, as SQLite's date functions count them.
  double millis;
  if (number >= 0.0 && number < 5373484.5)
    millis = std::round((number - 2440587.5) * 86400000.0);
  else
    millis = std::round(number * 1000.0);
  // Years 1 to 9999 only.
  if (millis < -62135596800000.0 || millis > 253402300799999.0) return std::nullopt;
  const auto ms = static_cast<std::int64_t>(millis);
  std::int64_t days = ms / 86400000, rest = ms % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --days;
  }
  DateTime t = DateTime::fromDays(days);
  t.hour = static_cast<int>(rest / 3600000);
  t.minute = static_cast<int>(rest / 60000 % 60);
  t.second = static_cast<int>(rest / 1000 % 60);
  t.nanosecond = static_cast<int>(rest % 1000) * 1000000;
  return t;
}

Value readCell(sqlite3_stmt* statement, int column, std::optional<ValueKind> kind,
               const std::string& columnName) {
  const int storage = sqlite3_column_type(statement, column);
  if (storage == SQLITE_NULL) return Value::null();
  if (!kind) {
    switch (storage) {
      case SQLITE_INTEGER: return Value::integer(sqlite3_column_int64(statement, column));
      case SQLITE_FLOAT: return Value::real(sqlite3_column_double(statement, column));
      case SQLITE_BLOB: return cellBytes(statement, column);
      default: return Value::text(std::string(cellText(statement, column)));
    }
  }
  switch (*kind) {
    case ValueKind::Number: return readNumber(statement, column);
    case ValueKind::Double: return readDouble(statement, column);
    case ValueKind::Date: return readDate(statement, column, columnName);
    case ValueKind::Binary: return cellBytes(statement, column);
    case ValueKind::Text: break;
  }
  return Value::text(std::string(cellText(statement, column)));
}

}  // namespace fennick
