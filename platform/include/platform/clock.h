// The local date and time, written the way the user's locale writes them.
#pragma once

#include <string>

#include "core/value.h"

namespace fennick::platform {

// The current local date and time.
DateTime localNow();

// The user's short date format, a blank and the long time format; at exactly
// midnight only the date. Windows: GetDateFormatEx/GetTimeFormatEx;
// elsewhere the locale's date and time formats (strftime %x and %X).
std::string formatLocalDateTime(const DateTime& t);

}  // namespace fennick::platform
