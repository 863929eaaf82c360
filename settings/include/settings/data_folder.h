// The per-user data folder, `DataFolder`, that the save dialog offers until
// the user has chosen a target file: the application-data folder followed
// by "Marrowby" and a final separator.
#pragma once

#include <string>
#include <string_view>

namespace fennick::settings {

// Shell special-folder numbers.
inline constexpr int kApplicationDataFolder = 26;  // Windows: %APPDATA%
inline constexpr int kUserProfileFolder = 40;      // the user's home folder

// The path of a special folder, without a final separator; empty when it
// cannot be determined. Windows asks the shell; elsewhere the application-
// data folder is $XDG_DATA_HOME or ~/.local/share and the profile is $HOME,
// and other numbers are unknown.
std::string getspecialfolder(int folder);

// The application-data folder followed by "\Marrowby\" (Windows) or
// "/Marrowby/"; empty when the application-data folder is unknown.
std::string getdatafolder();

// The start step: creates the folder when no directory of that path exists,
// one level only. Failure is not reported; an empty path does nothing.
void ensureDataFolder(const std::string& dataFolder);

// The rule of the XDG base folders: `xdgValue` when it is an absolute path,
// else `home` followed by `belowHome`, else empty. No final separator.
std::string xdgFolder(std::string_view xdgValue, std::string_view home,
                      std::string_view belowHome);

}  // namespace fennick::settings
