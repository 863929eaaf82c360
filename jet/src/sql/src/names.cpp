// Jet's rules for object names: at most 64 characters, no leading blank, no
// control characters and none of . ! ` [ ] (Jet reserves them for its own
// name syntax); names compared without regard to case. Relies on core's
// UTF-8 helpers.
#include "jet_sql/names.h"

#include "core/utf.h"
#include "jet_sql/error.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

// The lower-case partner of an upper-case letter in the alphabets object
// names are written in; other code points are returned unchanged.
char32_t foldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;  // Latin-1, except the multiplication sign
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return (c % 2 == 0) ? c + 1 : c;  // Latin Extended-A pairs, capital first on even
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
  if (c == 0x178) return 0xFF;  // Y with diaeresis
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

}  // namespace

bool sameObjectName(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (foldCase(nextCodePoint(a, i)) != foldCase(nextCodePoint(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

std::optional<std::string> objectNameProblem(std::string_view name) {
  if (name.empty()) return "a name cannot be empty";
  if (!isValidUtf8(name)) return "it is not valid UTF-8 text";
  const std::size_t length = utf16Length(name);
  if (length > kMaxObjectNameLength) {
    return "it is " + std::to_string(length) + " characters long and Jet allows at most " +
           std::to_string(kMaxObjectNameLength);
  }
  if (name.front() == ' ') return "it begins with a blank";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return "it contains a control character";
    if (c == '.' || c == '!' || c == '`' || c == '[' || c == ']')
      return std::string("it contains \"") + c + "\"";
  }
  return std::nullopt;
}

void validateObjectName(std::string_view name, std::string_view what) {
  if (const auto problem = objectNameProblem(name)) {
    throw SqlError(SqlError::Kind::Invalid,
                   std::string(what) + " name " + quoted(name) + " is not valid: " + *problem + ".");
  }
}

}  // namespace fennick::jet::sql
