// One value as it travels from a source row to a target column.
//
// Both sides speak this type: source drivers produce Values, the Jet engine
// consumes them, so the row copy moves values without caring where they came
// from. Text is always UTF-8; conversions to other encodings happen at the
// edges (Jet's UCS-2, the ANSI code page, Win32).
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fennick {

// A civil date and time without a time zone, as Oracle DATE/TIMESTAMP and Jet
// DateTime hold them.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int nanosecond = 0;

  friend auto operator<=>(const DateTime&, const DateTime&) = default;

  // Days since 1899-12-30 with the time as the fraction: the OLE automation
  // date that Jet stores. Before the epoch the fraction still counts forward
  // from midnight (-1.25 is 1899-12-29 06:00), as Jet reads it.
  double toOleDate() const;
  static DateTime fromOleDate(double oleDate);

  // Days from 1970-01-01 for a proleptic Gregorian date.
  static std::int64_t daysFromCivil(int year, int month, int day);
  static DateTime fromDays(std::int64_t daysSince1970);

  bool isValid() const;
  // "YYYY-MM-DD HH:MM:SS" with ".fffffffff" trimmed of trailing zeros when
  // there is a fraction.
  std::string toIsoString() const;
};

using Bytes = std::vector<std::uint8_t>;

// An exact decimal number kept as text: an optional '-', digits, optionally
// '.' and more digits. Used where a double would lose digits.
struct Decimal {
  std::string text;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

class Value {
 public:
  enum class Kind { Null, Boolean, Integer, Double, Decimal, DateTime, Text, Bytes };

  Value() = default;
  static Value null() { return Value(); }
  static Value boolean(bool b) { return Value(Storage(std::in_place_index<1>, b)); }
  static Value integer(std::int64_t i) { return Value(Storage(std::in_place_index<2>, i)); }
  static Value real(double d) { return Value(Storage(std::in_place_index<3>, d)); }
  static Value decimal(std::string digits) {
    return Value(Storage(std::in_place_index<4>, Decimal{std::move(digits)}));
  }
  static Value dateTime(const DateTime& t) { return Value(Storage(std::in_place_index<5>, t)); }
  static Value text(std::string utf8) { return Value(Storage(std::in_place_index<6>, std::move(utf8))); }
  static Value bytes(Bytes b) { return Value(Storage(std::in_place_index<7>, std::move(b))); }

  Kind kind() const { return static_cast<Kind>(storage_.index()); }
  bool isNull() const { return kind() == Kind::Null; }

  // Accessors for the held alternative; calling the wrong one is a
  // programming error (std::bad_variant_access).
  bool asBoolean() const { return std::get<1>(storage_); }
  std::int64_t asInteger() const { return std::get<2>(storage_); }
  double asDouble() const { return std::get<3>(storage_); }
  const Decimal& asDecimal() const { return std::get<4>(storage_); }
  const DateTime& asDateTime() const { return std::get<5>(storage_); }
  const std::string& asText() const { return std::get<6>(storage_); }
  const Bytes& asBytes() const { return std::get<7>(storage_); }

  // A readable rendering for logs, diagnostics and CSV: NULL as "",
  // booleans as "1"/"0", doubles with the shortest exact digits.
  std::string toDisplayString() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  using Storage = std::variant<std::monostate, bool, std::int64_t, double, Decimal,
                               DateTime, std::string, Bytes>;
  explicit Value(Storage s) : storage_(std::move(s)) {}
  Storage storage_;
};

const char* kindName(Value::Kind kind);

}  // namespace fennick
