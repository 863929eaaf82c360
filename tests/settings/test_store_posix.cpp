// The test store natively: the settings file in a scratch folder, planted
// and read as plain text lines.
#include <vector>

#include "platform/file.h"
#include "settings/file_store.h"
#include "test_store.h"
#include "test_support.h"

namespace fennick::test {
namespace {

std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  if (!platform::isRegularFile(path)) return lines;
  const std::string text = platform::readWholeFile(path);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  platform::writeWholeFile(path, text);
}

}  // namespace

TestStore::TestStore()
    : location_(joinPath(joinPath(scratchDir(), "fennick"), "settings.ini")),
      store_(std::make_unique<settings::FileSettingsStore>(location_)) {}

TestStore::~TestStore() { clear(); }

void TestStore::clear() { platform::removeFile(location_); }

bool TestStore::exists() const { return platform::isRegularFile(location_); }

void TestStore::plant(const std::string& name, const std::string& text) {
  const std::string folder = location_.substr(0, location_.rfind('/'));
  if (!platform::isDirectory(folder)) platform::createDirectory(folder);
  std::vector<std::string> lines = linesOf(location_);
  lines.push_back(name + "=" + text);
  writeLines(location_, lines);
}

void TestStore::plantOtherType(const std::string& name) { plant(name, "\xff\xfe\x32"); }

std::optional<std::string> TestStore::stored(const std::string& name) const {
  for (const std::string& line : linesOf(location_))
    if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
  return std::nullopt;
}

}  // namespace fennick::test
