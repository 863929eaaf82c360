// The wizard's texts in two languages: name=value caption tables.
//
// A table is an ordered list of lines; a line's name is the text before its
// first "=", its value everything after it. The two tables the program
// carries, `english` and `chn`, are resources of type CAPTIONS kept as
// UTF-8 text.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fennick {

class CaptionTable {
 public:
  CaptionTable() = default;
  // Lines end at LF or CR LF; a line without "=" carries no name. A UTF-8
  // byte-order mark at the start is skipped.
  explicit CaptionTable(std::string_view text);

  // The value of the first line whose name equals `name` without regard to
  // case; the empty text when no line has it.
  std::string lookup(std::string_view name) const;
  std::size_t size() const { return lines_.size(); }

 private:
  std::vector<std::pair<std::string, std::string>> lines_;
};

// The carried tables; throws when the program lacks the resource.
CaptionTable englishCaptions();
CaptionTable chineseCaptions();

// What Help opens for a `helpurl` text: an address or absolute path as it
// stands, a relative path (the help pages shipped beside the program) from
// the program's folder.
std::string helpTarget(const std::string& helpurl);

}  // namespace fennick
