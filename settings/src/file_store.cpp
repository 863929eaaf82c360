// The settings file: reading its name=value lines, and saving by writing a
// temporary file beside it, making it durable and renaming it over the old
// one. Relies on platform::File for every file operation.
#include "settings/file_store.h"

#include <cstdio>
#include <optional>
#include <random>
#include <vector>

#include "core/utf.h"
#include "platform/error.h"
#include "platform/file.h"

namespace fennick::settings {
namespace {

using Lines = std::vector<std::string>;

std::size_t lastSeparator(const std::string& path) {
#ifdef _WIN32
  return path.find_last_of("\\/");
#else
  return path.find_last_of('/');
#endif
}

std::string parentFolder(const std::string& path) {
  const std::size_t end = lastSeparator(path);
  return end == std::string::npos || end == 0 ? std::string() : path.substr(0, end);
}

// The file's lines, or nullopt when it is missing, unreadable or too large.
std::optional<Lines> readLines(const std::string& path) {
  if (!platform::isRegularFile(path)) return std::nullopt;
  std::string text;
  try {
    platform::File file = platform::File::open(path, platform::File::Mode::ReadOnly);
    const std::uint64_t size = file.size();
    if (size > kMaxSettingsFileBytes) return std::nullopt;
    text.resize(static_cast<std::size_t>(size));
    text.resize(file.readAt(0, text.data(), text.size()));
  } catch (const platform::SystemError&) {
    return std::nullopt;
  }
  Lines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The line that holds `name`, or nullptr.
const std::string* findLine(const Lines& lines, std::string_view name, std::size_t* at = nullptr) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t eq = lines[i].find('=');
    if (eq != std::string::npos && equalsIgnoreAsciiCase(std::string_view(lines[i]).substr(0, eq), name)) {
      if (at) *at = i;
      return &lines[i];
    }
  }
  return nullptr;
}

bool fitsOnOneLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
         isValidUtf8(text);
}

class FileReader : public SettingsReader {
 public:
  explicit FileReader(Lines lines) : lines_(std::move(lines)) {}

  std::optional<std::string> read(std::string_view name) override {
    const std::string* line = findLine(lines_, name);
    if (!line) return std::nullopt;
    std::string value = line->substr(line->find('=') + 1);
    // Anything but UTF-8 text is not a value this program wrote.
    if (!isValidUtf8(value)) return std::nullopt;
    return value;
  }

 private:
  Lines lines_;
};

class FileWriter : public SettingsWriter {
 public:
  FileWriter(std::string path, std::string temporary, platform::File file, Lines lines)
      : path_(std::move(path)), temporary_(std::move(temporary)),
        file_(std::move(file)), lines_(std::move(lines)) {}

  ~FileWriter() override {
    if (file_) {
      file_.reset();
      platform::removeFile(temporary_);
    }
  }

  bool write(std::string_view name, std::string_view value) override {
    if (!file_ || name.empty() || name.find('=') != std::string_view::npos ||
        !fitsOnOneLine(name) || !fitsOnOneLine(value))
      return false;
    std::string line = std::string(name) + "=" + std::string(value);
    std::size_t at = 0;
    if (findLine(lines_, name, &at))
      lines_[at] = std::move(line);
    else
      lines_.push_back(std::move(line));
    return true;
  }

  void finish() override {
    if (!file_) return;
    std::string text;
    for (const std::string& line : lines_) text += line + "\n";
    try {
      file_->writeAt(0, text.data(), text.size());
      file_->sync();
      file_.reset();  // closed before the rename, which Windows requires
      platform::replaceFile(temporary_, path_);
    } catch (const platform::SystemError&) {
      file_.reset();
      platform::removeFile(temporary_);
    }
  }

 private:
  std::string path_;
  std::string temporary_;
  std::optional<platform::File> file_;
  Lines lines_;
};

// A name of its own for every save, so that two programs saving at once
// never write into each other's temporary file.
std::string temporaryName(const std::string& path) {
  unsigned number = 0;
  try {
    number = std::random_device{}();
  } catch (const std::exception&) {
    // Without a random source the plain name still works for one program.
  }
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%08x.tmp", number);
  return path + suffix;
}

// Creates the settings folder and, when needed, its parent.
bool ensureFolder(const std::string& folder) {
  if (folder.empty() || platform::isDirectory(folder)) return !folder.empty();
  const std::string parent = parentFolder(folder);
  if (!parent.empty() && !platform::isDirectory(parent)) platform::createDirectory(parent);
  platform::createDirectory(folder);
  return platform::isDirectory(folder);
}

}  // namespace

std::unique_ptr<SettingsReader> FileSettingsStore::openForReading() {
  std::optional<Lines> lines = readLines(path_);
  if (!lines) return nullptr;
  return std::make_unique<FileReader>(std::move(*lines));
}

std::unique_ptr<SettingsWriter> FileSettingsStore::openForWriting() {
  if (!ensureFolder(parentFolder(path_))) return nullptr;
  // Values written before stay unless written again.
  Lines lines = readLines(path_).value_or(Lines{});
  const std::string temporary = temporaryName(path_);
  try {
    platform::File file = platform::File::open(temporary, platform::File::Mode::CreatePrivate);  // passwords
    return std::make_unique<FileWriter>(path_, temporary, std::move(file), std::move(lines));
  } catch (const platform::SystemError&) {
    return nullptr;
  }
}

}  // namespace fennick::settings
