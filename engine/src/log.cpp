// ConversionLog: a list of lines kept as the memo's CR LF text would be.
#include "engine/log.h"

#include "platform/codepage.h"
#include "platform/file.h"

namespace fennick {

void ConversionLog::appendSplit(std::string_view text) {
  for (;;) {
    const std::size_t at = text.find("\r\n");
    if (at == std::string_view::npos) {
      lines_.emplace_back(text);
      return;
    }
    lines_.emplace_back(text.substr(0, at));
    text.remove_prefix(at + 2);
  }
}

void ConversionLog::AppendLine(std::string_view text) {
  appendSplit(text);
  notify(Change::Appended);
}

void ConversionLog::AppendEmptyLine() { AppendLine({}); }

void ConversionLog::ReplaceLastLine(std::string_view text) {
  if (!lines_.empty()) lines_.pop_back();
  appendSplit(text);
  notify(Change::LastLineReplaced);
}

void ConversionLog::AppendToLastLine(std::string_view text) {
  std::string line = LastLine();
  line += text;
  ReplaceLastLine(line);
}

void ConversionLog::ClearLog() {
  lines_.clear();
  notify(Change::Cleared);
}

std::string ConversionLog::text() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void ConversionLog::SaveLog(const std::string& path) const {
  platform::writeWholeFile(path, platform::toAnsi(text()));
}

std::size_t ConversionLog::addListener(Listener listener) {
  listeners_.emplace_back(nextListener_, std::move(listener));
  return nextListener_++;
}

void ConversionLog::removeListener(std::size_t id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void ConversionLog::notify(Change change) const {
  for (const auto& [id, listener] : listeners_) listener(*this, change);
}

}  // namespace fennick
