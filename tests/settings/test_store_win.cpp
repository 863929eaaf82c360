// The test store under Windows: a key of its own below
// HKEY_CURRENT_USER\Software\Quellan\FennickTest, planted and read through
// the registry API directly and deleted at the end.
#include <windows.h>

#include <random>

#include "core/utf.h"
#include "settings/registry_store.h"
#include "test_store.h"

namespace fennick::test {
namespace {

std::wstring wide(const std::string& utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

void setValue(const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD bytes) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot create test key " + key);
  const LONG status =
      RegSetValueExW(handle, wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot plant " + name);
}

}  // namespace

TestStore::TestStore() {
  std::random_device random;
  location_ = "Software\\Quellan\\FennickTest\\run" + std::to_string(random());
  store_ = std::make_unique<settings::RegistrySettingsStore>(location_);
}

TestStore::~TestStore() {
  clear();
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quellan\\FennickTest");
}

void TestStore::clear() { RegDeleteTreeW(HKEY_CURRENT_USER, wide(location_).c_str()); }

bool TestStore::exists() const {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(location_).c_str(), 0, KEY_READ, &handle) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

void TestStore::plant(const std::string& name, const std::string& text) {
  const std::wstring data = wide(text);
  setValue(location_, name, REG_SZ, data.c_str(),
           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void TestStore::plantOtherType(const std::string& name) {
  const DWORD number = 2;
  setValue(location_, name, REG_DWORD, &number, sizeof number);
}

std::optional<std::string> TestStore::stored(const std::string& name) const {
  wchar_t data[4096] = {};
  DWORD bytes = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, wide(location_).c_str(), wide(name).c_str(), RRF_RT_REG_SZ,
                   &type, data, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return utf16ToUtf8(reinterpret_cast<const char16_t*>(data));
}

}  // namespace fennick::test
