// The settings in the registry, under HKEY_CURRENT_USER, and the current
// user's store on Windows. Names and texts cross the boundary as UTF-16.
#include <windows.h>

#include <vector>

#include "core/utf.h"
#include "settings/registry_store.h"

namespace fennick::settings {
namespace {

constexpr REGSAM kReadAccess = 0x20019;   // KEY_READ
constexpr REGSAM kWriteAccess = 0x20006;  // KEY_WRITE
// Larger values are not ones this program wrote; they read as missing.
constexpr DWORD kMaxValueBytes = 1 << 20;

std::wstring wide(std::string_view utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

class Key {
 public:
  explicit Key(HKEY key) : key_(key) {}
  ~Key() { RegCloseKey(key_); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

class RegistryReader : public SettingsReader {
 public:
  explicit RegistryReader(HKEY key) : key_(key) {}

  std::optional<std::string> read(std::string_view name) override {
    const std::wstring valueName = wide(name);
    // The value may change between the size query and the read; try again a
    // few times, then give up.
    for (int attempt = 0; attempt < 3; ++attempt) {
      DWORD type = 0, bytes = 0;
      if (RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS)
        return std::nullopt;
      if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxValueBytes) return std::nullopt;
      std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
      DWORD got = bytes;
      const LONG status = RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &got);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
      // The stored text need not end with a NUL; it ends at the first one.
      std::size_t length = got / sizeof(wchar_t);
      for (std::size_t i = 0; i < length; ++i)
        if (data[i] == L'\0') length = i;
      return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(data.data()), length));
    }
    return std::nullopt;
  }

 private:
  Key key_;
};

class RegistryWriter : public SettingsWriter {
 public:
  explicit RegistryWriter(HKEY key) : key_(key) {}

  bool write(std::string_view name, std::string_view value) override {
    const std::wstring text = wide(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_.get(), wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
  }

  // Every value is in the registry once written; closing the key is enough.
  void finish() override {}

 private:
  Key key_;
};

}  // namespace

std::unique_ptr<SettingsReader> RegistrySettingsStore::openForReading() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(subkey_).c_str(), 0, kReadAccess, &key) !=
      ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryReader>(key);
}

std::unique_ptr<SettingsWriter> RegistrySettingsStore::openForWriting() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(subkey_).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryWriter>(key);
}

std::unique_ptr<SettingsStore> userSettingsStore() {
  return std::make_unique<RegistrySettingsStore>();
}

}  // namespace fennick::settings
