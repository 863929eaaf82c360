// Resource lookup by name and type.
#include "core/utf.h"
#include "resources/resources.h"

namespace fennick {

std::optional<std::string_view> findResource(std::string_view name, std::string_view type) {
  for (const auto& entry : allResources())
    if (equalsIgnoreAsciiCase(entry.name, name) && equalsIgnoreAsciiCase(entry.type, type))
      return entry.bytes;
  return std::nullopt;
}

}  // namespace fennick
