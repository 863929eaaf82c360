// Field lookup by name and the connection's parameter list.
#include <stdexcept>

#include "core/utf.h"
#include "sources/source.h"

namespace fennick {

std::size_t SourceDataset::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fieldCount(); ++i)
    if (equalsIgnoreAsciiCase(fieldName(i), name)) return i;
  throw std::runtime_error("Field '" + std::string(name) + "' not found");
}

std::vector<std::string> connectionParams(const std::string& service, const std::string& user,
                                          const std::string& password) {
  return {"Database=" + service,
          "User_Name=" + user,
          "Password=" + password,
          "DriverName=Oracle",
          "RowsetSize=20",
          "BlobSize=-1",
          "LocaleCode=0000",
          "ErrorResourceFile=",
          "Oracle TransIsolation=ReadCommited",
          "OS Authentication=False",
          "Multiple Transaction=False",
          "Trim Char=False"};
}

std::string paramValue(const std::vector<std::string>& params, std::string_view name) {
  for (const auto& line : params) {
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && equalsIgnoreAsciiCase(std::string_view(line).substr(0, eq), name))
      return line.substr(eq + 1);
  }
  return {};
}

}  // namespace fennick
