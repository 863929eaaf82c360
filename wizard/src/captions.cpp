// Caption tables: parsing the name=value lines and looking names up. The
// carried tables come from the program's resources.
#include <stdexcept>

#include "core/utf.h"
#include "resources/resources.h"
#include "platform/process.h"
#include "wizard/captions.h"

namespace fennick {

CaptionTable::CaptionTable(std::string_view text) {
  // An editor may have saved the table with a byte-order mark.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos)
      lines_.emplace_back(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    start = end + 1;
  }
}

std::string CaptionTable::lookup(std::string_view name) const {
  for (const auto& [lineName, value] : lines_)
    if (equalsIgnoreAsciiCase(lineName, name)) return value;
  return {};
}

namespace {

CaptionTable carriedTable(std::string_view name) {
  const auto bytes = findResource(name, "CAPTIONS");
  if (!bytes)
    throw std::runtime_error("The program lacks its caption table " + std::string(name));
  return CaptionTable(*bytes);
}

}  // namespace

CaptionTable englishCaptions() { return carriedTable("ENGLISH"); }
CaptionTable chineseCaptions() { return carriedTable("CHN"); }

std::string helpTarget(const std::string& helpurl) {
  const bool address = helpurl.find("://") != std::string::npos;
  const bool absolute = !helpurl.empty() && (helpurl[0] == '\\' || helpurl[0] == '/' ||
                                             (helpurl.size() > 1 && helpurl[1] == ':'));
  if (helpurl.empty() || address || absolute) return helpurl;
  return platform::programFolder() + helpurl;
}

}  // namespace fennick
