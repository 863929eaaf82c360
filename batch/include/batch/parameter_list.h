// The parameter file of an unattended run, as a list of key=value lines.
//
// Reading: FF FE starts UTF-16 little-endian, FE FF UTF-16 big-endian,
// EF BB BF UTF-8 (the mark skipped); any other file is in the ANSI code
// page. Lines end at CR LF, a lone CR or a lone LF; a last line without an
// end still counts, a trailing line end adds none; empty lines count; a NUL
// ends the text. A line's key is the text before its first "=", its value
// everything after; neither is trimmed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fennick {

class ParameterList {
 public:
  // Replaces the list with the file's lines; throws "Cannot open file
  // "<path>". <reason>" when it cannot be read.
  void load(const std::string& path);
  // The same from bytes already read.
  void loadBytes(std::string_view bytes);

  // The value of the first line whose key equals `key` without regard to
  // case; the empty text when no line has it.
  std::string lookup(std::string_view key) const;
  std::size_t lineCount() const { return lines_.size(); }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// The platform's whole-number conversion: optional leading blanks, an
// optional sign, decimal digits or hexadecimal ones after "$", "x" or "0x";
// nothing after the number; 32 bits. nullopt when the text is not one.
std::optional<int> parseInteger(std::string_view text);

// The message for a text that is not a whole number:
// "''<text>'' is not a valid integer value".
std::string invalidIntegerMessage(std::string_view text);

}  // namespace fennick
