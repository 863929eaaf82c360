// Settings as string values (REG_SZ) of one key under HKEY_CURRENT_USER.
// Windows only.
//
// Values of the expanded kind (REG_EXPAND_SZ) are read as they stand,
// without expansion; values of any other type read as missing.
#pragma once

#ifdef _WIN32

#include <memory>
#include <string>

#include "settings/store.h"

namespace fennick::settings {

inline constexpr const char* kSettingsKey = "SOFTWARE\\Quellan\\Fennick";

class RegistrySettingsStore : public SettingsStore {
 public:
  // `subkey` below HKEY_CURRENT_USER, in UTF-8.
  explicit RegistrySettingsStore(std::string subkey = kSettingsKey)
      : subkey_(std::move(subkey)) {}

  std::unique_ptr<SettingsReader> openForReading() override;
  std::unique_ptr<SettingsWriter> openForWriting() override;

 private:
  std::string subkey_;
};

}  // namespace fennick::settings

#endif
