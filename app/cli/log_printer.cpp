// LogPrinter: follows the log through its listener.
#include "log_printer.h"

#include "console.h"

namespace fennick::cli {

LogPrinter::LogPrinter(ConversionLog& log, bool terminal, Writer write)
    : log_(log), terminal_(terminal), write_(write ? std::move(write) : Writer(writeOut)) {
  printed_ = log.LineCount();
  listener_ = log_.addListener([this](const ConversionLog& l, ConversionLog::Change c) { onChange(l, c); });
}

LogPrinter::~LogPrinter() { finish(); }

void LogPrinter::onChange(const ConversionLog& log, ConversionLog::Change change) {
  if (change == ConversionLog::Change::Cleared) {
    printed_ = 0;
    return;
  }
  const auto& lines = log.lines();
  // A replaced last line is printed again unless it was already final.
  if (change == ConversionLog::Change::LastLineReplaced && printed_ >= lines.size())
    printed_ = lines.empty() ? 0 : lines.size() - 1;
  std::string out;
  if (terminal_ && lastShown_) out += "\r\x1b[K";
  lastShown_ = false;
  // Every line but the last is final.
  for (; printed_ + 1 < lines.size(); ++printed_) out += lines[printed_] + "\n";
  if (terminal_ && printed_ < lines.size()) {
    out += lines[printed_];
    lastShown_ = true;
  }
  write_(out);
}

void LogPrinter::finish() {
  if (finished_) return;
  finished_ = true;
  log_.removeListener(listener_);
  const auto& lines = log_.lines();
  std::string out;
  if (terminal_ && lastShown_) out += "\r\x1b[K";
  for (; printed_ < lines.size(); ++printed_) out += lines[printed_] + "\n";
  write_(out);
}

}  // namespace fennick::cli
