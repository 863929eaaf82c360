// The registry as another program sees it: values the wizard saves, read
// back by reg.exe, and a value of the expanded kind read as it stands.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "settings/saved_settings.h"
#include "settings_form.h"
#include "test_store.h"

namespace fennick::settings {
namespace {

struct RegEntry {
  std::string type, data;
};

// "reg query" prints every value as "    <name>    <type>    <data>".
std::map<std::string, RegEntry> regQuery(const std::string& key) {
  std::map<std::string, RegEntry> values;
  const std::string command = "reg query \"HKCU\\" + key + "\" 2>&1";
  FILE* pipe = _popen(command.c_str(), "r");
  if (!pipe) return values;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind("    ", 0) != 0) continue;
    line = line.substr(4);
    const std::size_t typeAt = line.find("    REG_");
    if (typeAt == std::string::npos) continue;
    const std::string rest = line.substr(typeAt + 4);
    const std::size_t dataAt = rest.find("    ");
    RegEntry entry{rest.substr(0, dataAt),
                   dataAt == std::string::npos ? std::string() : rest.substr(dataAt + 4)};
    values[line.substr(0, typeAt)] = entry;
  }
  _pclose(pipe);
  return values;
}

TEST(RegistryStore, SavedValuesAreStringValuesThatRegQuerySees) {
  test::TestStore stored;
  ui::Form f = test::settingsForm();
  f["edtport"].caption = "1521";
  f["edtservice"].caption = "ORCL";
  f["processtable"].itemIndex = 2;
  f["chkskipindex"].checked = true;
  f["SaveDialog1"].caption = "C:\\data\\target.mdb";
  f["editaccessname"].caption = "C:\\data\\target.mdb";
  savesettings(f, stored.store());

  const std::map<std::string, RegEntry> values = regQuery(stored.location());
  ASSERT_EQ(values.size(), 16u) << "reg query saw " << values.size() << " values";
  for (const auto& [name, entry] : values) EXPECT_EQ(entry.type, "REG_SZ") << name;
  const std::map<std::string, std::string> expected = {
      {"port", "1521"},     {"oracleh", "ORCL"},   {"processtable", "2"},
      {"skipindex", "1"},   {"blobtotext", "0"},   {"defaultaccessdir", "C:\\data\\"},
      {"accessformat", "0"}, {"accessmode", "0"}};
  for (const auto& [name, data] : expected) {
    ASSERT_TRUE(values.count(name)) << name;
    EXPECT_EQ(values.at(name).data, data) << name;
  }
}

TEST(RegistryStore, ExpandableStringsAreReadWithoutExpansion) {
  test::TestStore stored;
  stored.plant("port", "1");  // creates the key
  HKEY key = nullptr;
  std::wstring subkey(stored.location().begin(), stored.location().end());
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
  const wchar_t folder[] = L"%TEMP%\\data\\";
  ASSERT_EQ(RegSetValueExW(key, L"defaultaccessdir", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(folder), sizeof folder),
            ERROR_SUCCESS);
  // Stored without its terminating NUL.
  const wchar_t service[] = L"ORCL";
  ASSERT_EQ(RegSetValueExW(key, L"oracleh", 0, REG_SZ, reinterpret_cast<const BYTE*>(service),
                           4 * sizeof(wchar_t)),
            ERROR_SUCCESS);
  RegCloseKey(key);

  ui::Form f = test::settingsForm();
  loadsettings(f, stored.store(), "C:\\appdata\\Marrowby\\", "home");
  EXPECT_EQ(f["SaveDialog1"].initialFolder, "%TEMP%\\data\\");
  EXPECT_EQ(f["edtservice"].caption, "ORCL");
}

}  // namespace
}  // namespace fennick::settings
