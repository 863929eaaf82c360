// Case-insensitive text order where no locale collation is at hand: code
// points compared after folding letter case (ASCII, Latin-1, Greek and
// Cyrillic capitals to small letters).

#include "core/utf.h"
#include "platform/collate.h"

namespace fennick::platform {
namespace {

char32_t foldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F))
    return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

}  // namespace

int compareTextIgnoreCase(std::string_view a, std::string_view b) {
  std::size_t pa = 0, pb = 0;
  while (pa < a.size() && pb < b.size()) {
    const char32_t ca = foldCase(nextCodePoint(a, pa));
    const char32_t cb = foldCase(nextCodePoint(b, pb));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (pa < a.size()) return 1;
  if (pb < b.size()) return -1;
  return 0;
}

}  // namespace fennick::platform
