// Case-insensitive text order on Windows, the user's locale deciding.
#include <windows.h>

#include "core/utf.h"
#include "platform/collate.h"

namespace fennick::platform {

int compareTextIgnoreCase(std::string_view a, std::string_view b) {
  const std::u16string wa = utf8ToUtf16(a);
  const std::u16string wb = utf8ToUtf16(b);
  const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                    reinterpret_cast<const wchar_t*>(wa.data()),
                                    static_cast<int>(wa.size()),
                                    reinterpret_cast<const wchar_t*>(wb.data()),
                                    static_cast<int>(wb.size()));
  if (result == 0) {
    // Only invalid arguments fail; fall back to plain code-unit order.
    return wa < wb ? -1 : (wb < wa ? 1 : 0);
  }
  return result - CSTR_EQUAL;
}

}  // namespace fennick::platform
