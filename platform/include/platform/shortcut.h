// Shortcuts that start a program with arguments from the desktop or the
// file manager.
//
// Windows: a shell link (.lnk) written through the shell link object
// (IShellLinkW, IPersistFile). Elsewhere: a desktop launcher (.desktop file)
// whose Exec line runs the program with the same arguments.
#pragma once

#include <string>
#include <vector>

namespace fennick::platform {

struct ShortcutLink {
  std::string program;                 // full path of the program file
  std::vector<std::string> arguments;  // each passed enclosed in double quotes
  std::string workingFolder;
};

// Writes the shortcut at `shortcutPath`, replacing an existing file.
//
// Windows: throws SystemError when the shell link object cannot be created
// ("<system message>, ClassID: {00021401-...}") or lacks one of its two
// interfaces; the results of setting the path, arguments and working folder
// and of saving the link are not checked, as the shell reports none of them
// usefully. Elsewhere: throws "Cannot create file ..." when the launcher
// cannot be written.
void createShortcut(const std::string& shortcutPath, const ShortcutLink& link);

}  // namespace fennick::platform
