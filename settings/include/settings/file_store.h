// Settings in a UTF-8 text file of name=value lines, replaced as a whole on
// every save so that a crash never leaves half a file behind.
//
// Names are compared without regard to ASCII case, as registry value names
// are. Values cannot hold line breaks or NUL characters; writing one fails.
// Lines without "=" and names seen a second time are kept but not read.
#pragma once

#include <memory>
#include <string>

#include "settings/store.h"

namespace fennick::settings {

class FileSettingsStore : public SettingsStore {
 public:
  // `path` names the settings file; saving creates its folder (and that
  // folder's parent) when they are missing.
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}

  std::unique_ptr<SettingsReader> openForReading() override;
  std::unique_ptr<SettingsWriter> openForWriting() override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Larger settings files are treated as unreadable.
inline constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

#ifndef _WIN32
// The settings file of the current user: fennick/settings.ini under
// $XDG_CONFIG_HOME, or under ~/.config; empty when neither is known.
std::string defaultSettingsFile();
#endif

}  // namespace fennick::settings
