// The fixed mapping of Oracle column types to Jet column types.
//
// Beyond the base mapping, precision variants of the mapped types
// (TIMESTAMP(3), INTERVAL DAY(3) TO SECOND(2), ...), FLOAT, NCHAR and
// NUMBER with a negative scale get the type their values need: a column
// without a type makes Jet refuse the whole table, so every row of it
// would be lost.
#include <cmath>
#include <regex>

#include "engine/tcc.h"

namespace fennick {
namespace {

// Catalogue numbers compared by value; NULL is smaller than every number.
std::optional<double> number(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Integer: return static_cast<double>(v.asInteger());
    case Value::Kind::Double: return v.asDouble();
    case Value::Kind::Decimal: return std::strtod(v.asDecimal().text.c_str(), nullptr);
    case Value::Kind::Text: return std::strtod(v.asText().c_str(), nullptr);
    default: return std::nullopt;
  }
}

bool atMost(const std::optional<double>& n, double limit) { return !n || *n <= limit; }
bool greaterThan(const std::optional<double>& n, double limit) { return n && *n > limit; }

std::string lengthText(const Value& v) {
  const auto n = number(v);
  if (!n) return "0";
  return std::to_string(static_cast<long long>(std::llround(*n)));
}

std::optional<std::string> numberType(const Value& precision, const Value& scale) {
  const auto p = number(precision);
  const auto s = number(scale);
  if (!s || *s == 0) return atMost(p, 9) ? " Integer" : " Double";
  if (*s > 0 && *s <= 4) return atMost(p, 15) ? " Double" : " Text";
  if (*s > 4) return " Text";
  // Negative scale: whole numbers rounded to tens, hundreds, ...
  return greaterThan(p, 15) ? " Text" : " Double";
}

bool matches(const std::string& text, const char* pattern) {
  return std::regex_match(text, std::regex(pattern));
}

}  // namespace

std::optional<std::string> jetTypeText(const std::string& dataType, const Value& dataLength,
                                       const Value& precision, const Value& scale,
                                       bool blobToText) {
  if (dataType == "NUMBER") return numberType(precision, scale);
  if (dataType == "VARCHAR2" || dataType == "NVARCHAR2" || dataType == "CHAR" ||
      dataType == "NCHAR") {
    if (greaterThan(number(dataLength), 250)) return " Memo";
    return " text(" + lengthText(dataLength) + ")";
  }
  if (dataType == "BLOB") return blobToText ? " Memo" : " OleObject";
  if (dataType == "CLOB" || dataType == "NCLOB" || dataType == "LONG" || dataType == "LONG RAW")
    return " Memo";
  if (dataType == "DATE" || matches(dataType, R"(TIMESTAMP\(\d\)( WITH( LOCAL)? TIME ZONE)?)"))
    return " Date";
  if (matches(dataType, R"(INTERVAL YEAR\(\d\) TO MONTH)") ||
      matches(dataType, R"(INTERVAL DAY\(\d\) TO SECOND\(\d\))") || dataType == "BINARY_DOUBLE" ||
      dataType == "BINARY_FLOAT")
    return " text(20)";
  if (dataType == "FLOAT") return " Double";
  if (dataType == "RAW") return " OleObject";
  return std::nullopt;
}

}  // namespace fennick
