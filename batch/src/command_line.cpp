// Splitting the command line and deciding on an unattended run. Relies on
// the engine's program-wide BatchMode flag.
#include "batch/command_line.h"

#include "engine/flags.h"

namespace fennick {

namespace {

bool separates(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  for (;;) {
    for (;;) {
      while (i < text.size() && separates(text[i])) ++i;
      if (text.substr(i, 2) != "\"\"") break;
      i += 2;
    }
    if (i >= text.size()) break;
    std::string word;
    while (i < text.size() && !separates(text[i])) {
      if (text[i] == '"') {
        ++i;
        while (i < text.size() && text[i] != '"') word += text[i++];
        if (i < text.size()) ++i;
      } else {
        word += text[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

bool setBatchModeFromArguments(const std::vector<std::string>& arguments) {
  BatchMode = !arguments.empty();
  return BatchMode;
}

}  // namespace fennick
