// Shows a ConversionLog on the console as it grows. On a terminal the last
// line is shown as it changes (the progress line is rewritten in place);
// into a pipe or file a line is written once it can no longer change.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "engine/log.h"

namespace fennick::cli {

class LogPrinter {
 public:
  using Writer = std::function<void(std::string_view)>;
  // `write` receives the console text (standard output by default).
  LogPrinter(ConversionLog& log, bool terminal, Writer write = {});
  ~LogPrinter();
  // Writes what is still pending (the last line) and stops following.
  void finish();

 private:
  void onChange(const ConversionLog& log, ConversionLog::Change change);
  ConversionLog& log_;
  bool terminal_;
  Writer write_;
  std::size_t printed_ = 0;  // lines written completely, with their line end
  bool lastShown_ = false;   // terminal: the last line is on screen without line end
  bool finished_ = false;
  std::size_t listener_ = 0;
};

}  // namespace fennick::cli
