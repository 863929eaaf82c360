// Quoting of user text for error messages. Relies on core's UTF-8 decoding.
#include "quoting.h"

#include <cstdio>

#include "core/utf.h"

namespace fennick::jet::sql {

std::string quoted(std::string_view text) {
  constexpr std::size_t kMaxShown = 60;
  std::string out = "\"";
  std::size_t pos = 0;
  for (std::size_t shown = 0; pos < text.size(); ++shown) {
    if (shown == kMaxShown) {
      out += "...";
      break;
    }
    const char32_t c = nextCodePoint(text, pos);
    if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
      out += escape;
    } else {
      appendUtf8(out, c);
    }
  }
  out += '"';
  return out;
}

}  // namespace fennick::jet::sql
