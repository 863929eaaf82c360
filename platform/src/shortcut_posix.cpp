// Desktop launchers (.desktop files) as the shortcuts of POSIX desktops.
// Relies on the file service for writing; the quoting follows the desktop
// entry format's rules for the Exec key.
#include <sys/stat.h>

#include <string>

#include "platform/file.h"
#include "platform/shortcut.h"

namespace fennick::platform {

namespace {

// A value as a desktop entry string: backslash and the control characters
// that would end or bend the line are escaped.
std::string entryString(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

// One word of the Exec command line: in double quotes, with the characters
// the quoting reserves escaped and "%" doubled so no field code is read.
std::string execWord(const std::string& word) {
  std::string out = "\"";
  for (const char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + '"';
}

std::string launcherName(const std::string& shortcutPath) {
  const std::size_t slash = shortcutPath.rfind('/');
  std::string name = slash == std::string::npos ? shortcutPath : shortcutPath.substr(slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
    name.resize(dot);
  return name;
}

}  // namespace

void createShortcut(const std::string& shortcutPath, const ShortcutLink& link) {
  std::string exec = execWord(link.program);
  for (const std::string& argument : link.arguments) exec += ' ' + execWord(argument);
  const std::string text = "[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=" + entryString(launcherName(shortcutPath)) + "\n"
                           "Exec=" + entryString(exec) + "\n"
                           "Path=" + entryString(link.workingFolder) + "\n"
                           "Terminal=false\n";
  writeWholeFile(shortcutPath, text);
  // Desktops start only launchers marked executable.
  ::chmod(shortcutPath.c_str(), 0755);
}

}  // namespace fennick::platform
