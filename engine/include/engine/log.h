// The conversion log: the lines a run writes, shown as they grow.
//
// The log is a text buffer in which every line, the last included, ends with
// CR LF; a CR LF inside appended text therefore starts a new line. Hosts (a
// window, a terminal) subscribe to be told of every change.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

namespace fennick {

class ConversionLog {
 public:
  enum class Change { Appended, LastLineReplaced, Cleared };
  using Listener = std::function<void(const ConversionLog&, Change)>;

  void AppendLine(std::string_view text);
  void AppendEmptyLine();
  // On an empty log both make the text the only line.
  void ReplaceLastLine(std::string_view text);
  void AppendToLastLine(std::string_view text);
  void ClearLog();
  // Writes every line followed by CR LF in the system's ANSI code page,
  // without a byte-order mark. Throws "Cannot create file "<path>". <reason>"
  // when the file cannot be created; the log is unchanged either way.
  void SaveLog(const std::string& path) const;

  std::size_t LineCount() const { return lines_.size(); }
  // The empty text on an empty log.
  std::string LastLine() const { return lines_.empty() ? std::string() : lines_.back(); }
  const std::vector<std::string>& lines() const { return lines_; }
  // The buffer as the memo holds it: every line followed by CR LF.
  std::string text() const;

  // Several hosts may follow one log (the wizard's memo and a console, say).
  // Returns the number that removeListener takes.
  std::size_t addListener(Listener listener);
  void removeListener(std::size_t id);

 private:
  void appendSplit(std::string_view text);
  void notify(Change change) const;

  std::vector<std::string> lines_;
  std::vector<std::pair<std::size_t, Listener>> listeners_;
  std::size_t nextListener_ = 1;
};

}  // namespace fennick
