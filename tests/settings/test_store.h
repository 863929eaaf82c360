// The system's settings store for tests, with a back door that plants and
// reads stored values without going through the store's own code: the
// settings file as plain text natively, the registry API under Windows
// (a test-only key, removed again).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "settings/store.h"

namespace fennick::test {

class TestStore {
 public:
  TestStore();
  ~TestStore();
  TestStore(const TestStore&) = delete;
  TestStore& operator=(const TestStore&) = delete;

  settings::SettingsStore& store() { return *store_; }

  // Removes everything stored, the key or file itself included.
  void clear();
  bool exists() const;
  void plant(const std::string& name, const std::string& text);
  // A value that is not text: a REG_DWORD, or bytes that are not UTF-8.
  void plantOtherType(const std::string& name);
  // The value as stored, read by the back door; nullopt when missing.
  std::optional<std::string> stored(const std::string& name) const;

  // Where the values live: the file path or the key below HKEY_CURRENT_USER.
  const std::string& location() const { return location_; }

 private:
  std::string location_;
  std::unique_ptr<settings::SettingsStore> store_;
};

}  // namespace fennick::test
