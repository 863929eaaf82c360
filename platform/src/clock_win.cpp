// Local time and its formatting in the user's locale.
#include <windows.h>

#include "core/utf.h"
#include "platform/clock.h"

namespace fennick::platform {

DateTime localNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  DateTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  return t;
}

std::string formatLocalDateTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  wchar_t buf[128];
  std::string out;
  if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128, nullptr) > 0)
    out = utf16ToUtf8(reinterpret_cast<const char16_t*>(buf));
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buf, 128) > 0)
      out += " " + utf16ToUtf8(reinterpret_cast<const char16_t*>(buf));
  }
  return out;
}

}  // namespace fennick::platform
