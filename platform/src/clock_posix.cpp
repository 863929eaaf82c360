// Local time and its formatting from the environment's locale.
#include <ctime>
#include <locale.h>
#include <time.h>

#include "platform/clock.h"

namespace fennick::platform {

DateTime localNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  DateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

std::string formatLocalDateTime(const DateTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char buf[128];
  std::string out;
  if (strftime_l(buf, sizeof buf, "%x", &tm, loc) > 0) out = buf;
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    if (strftime_l(buf, sizeof buf, "%X", &tm, loc) > 0) out += std::string(" ") + buf;
  }
  freelocale(loc);
  return out;
}

}  // namespace fennick::platform
