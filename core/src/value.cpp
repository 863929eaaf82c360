// Value rendering and the calendar arithmetic behind DateTime.
#include "core/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fennick {

std::int64_t DateTime::daysFromCivil(int y, int m, int d) {
  // Civil-date arithmetic over 400-year eras of 146,097 days.
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

DateTime DateTime::fromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  DateTime t;
  t.year = static_cast<int>(y + (m <= 2));
  t.month = static_cast<int>(m);
  t.day = static_cast<int>(d);
  return t;
}

namespace {
constexpr std::int64_t kOleEpochDays = -25569;  // 1899-12-30 counted from 1970-01-01
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

double DateTime::toOleDate() const {
  const std::int64_t days = daysFromCivil(year, month, day) - kOleEpochDays;
  const double fraction =
      (hour * 3600.0 + minute * 60.0 + second + nanosecond / 1e9) / kSecondsPerDay;
  // Before the epoch the integer part counts backwards but the fraction
  // still runs forwards: -1.25 is the day before the epoch at 06:00.
  return days >= 0 ? static_cast<double>(days) + fraction
                   : static_cast<double>(days) - fraction;
}

DateTime DateTime::fromOleDate(double ole) {
  if (!std::isfinite(ole)) return DateTime{};
  double whole = std::trunc(ole);
  double fraction = std::fabs(ole - whole);
  // Round to the millisecond, as Jet's own display does, so that values
  // written from whole seconds read back as whole seconds.
  auto millis = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay * 1000.0));
  if (millis >= 86400000) {
    millis -= 86400000;
    whole += ole < 0 ? -1 : 1;
  }
  DateTime t = fromDays(static_cast<std::int64_t>(whole) + kOleEpochDays);
  t.hour = static_cast<int>(millis / 3600000);
  t.minute = static_cast<int>(millis / 60000 % 60);
  t.second = static_cast<int>(millis / 1000 % 60);
  t.nanosecond = static_cast<int>(millis % 1000) * 1000000;
  return t;
}

bool DateTime::isValid() const {
  if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59 || nanosecond < 0 || nanosecond > 999999999)
    return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= last;
}

std::string DateTime::toIsoString() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                minute, second);
  std::string s = buf;
  if (nanosecond != 0) {
    std::snprintf(buf, sizeof buf, ".%09d", nanosecond);
    std::string frac = buf;
    while (frac.back() == '0') frac.pop_back();
    s += frac;
  }
  return s;
}

namespace {
std::string shortestDouble(double d) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
  return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}
}  // namespace

std::string Value::toDisplayString() const {
  switch (kind()) {
    case Kind::Null: return {};
    case Kind::Boolean: return asBoolean() ? "1" : "0";
    case Kind::Integer: return std::to_string(asInteger());
    case Kind::Double: return shortestDouble(asDouble());
    case Kind::Decimal: return asDecimal().text;
    case Kind::DateTime: return asDateTime().toIsoString();
    case Kind::Text: return asText();
    case Kind::Bytes: {
      static const char* kHex = "0123456789ABCDEF";
      std::string s;
      s.reserve(asBytes().size() * 2);
      for (auto b : asBytes()) {
        s += kHex[b >> 4];
        s += kHex[b & 15];
      }
      return s;
    }
  }
  return {};
}

const char* kindName(Value::Kind kind) {
  switch (kind) {
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean: return "boolean";
    case Value::Kind::Integer: return "integer";
    case Value::Kind::Double: return "double";
    case Value::Kind::Decimal: return "decimal";
    case Value::Kind::DateTime: return "date/time";
    case Value::Kind::Text: return "text";
    case Value::Kind::Bytes: return "bytes";
  }
  return "?";
}

}  // namespace fennick
