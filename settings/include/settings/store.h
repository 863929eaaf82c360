// Where the wizard keeps its settings between starts: a set of named string
// values per user. Windows keeps them in the registry, other systems in a
// small file under the user's configuration folder.
//
// Reading and writing go through short-lived sessions, the way the wizard
// opens the key once at start and once at exit.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fennick::settings {

class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  // The stored text; nullopt when the value is missing, is not a string or
  // cannot be read. Never throws for a bad stored value.
  virtual std::optional<std::string> read(std::string_view name) = 0;
};

class SettingsWriter {
 public:
  virtual ~SettingsWriter() = default;
  // Stores one string value; false when it cannot be stored.
  virtual bool write(std::string_view name, std::string_view value) = 0;
  // Makes the values written so far permanent and ends the session. A
  // failure here is silent, like a key that cannot be written.
  virtual void finish() = 0;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Null when nothing is stored yet (first start) or the store cannot be
  // opened; never creates anything.
  virtual std::unique_ptr<SettingsReader> openForReading() = 0;
  // Creates the store when it is missing; null when that is not possible.
  virtual std::unique_ptr<SettingsWriter> openForWriting() = 0;
};

// The current user's store of this system: the registry key
// HKEY_CURRENT_USER\SOFTWARE\Quellan\Fennick on Windows, the file
// defaultSettingsFile() elsewhere.
std::unique_ptr<SettingsStore> userSettingsStore();

}  // namespace fennick::settings
