// Jet's rules for object names: at most 64 characters, no leading blank, no
// control characters and none of . ! ` [ ] (Jet reserves them for its own
// name syntax). Relies on core's UTF-8 helpers.
#include "jet_sql/names.h"

#include "core/utf.h"
#include "jet_sql/error.h"
#include "quoting.h"

namespace fennick::jet::sql {

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
