// loadsettings and savesettings against the system's own store: the file
// natively, the registry under Windows. Stored values are planted and
// checked through the test store's back door.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/file.h"
#include "settings/data_folder.h"
#include "settings/saved_settings.h"
#include "settings_form.h"
#include "test_store.h"
#include "test_support.h"

namespace fennick::settings {
namespace {

using test::settingsForm;
using test::TestStore;

#ifdef _WIN32
constexpr const char* kSep = "\\";
#else
constexpr const char* kSep = "/";
#endif

class SavedSettingsTest : public ::testing::Test {
 protected:
  TestStore stored;
  std::string dataFolder = test::scratchDir() + kSep + "Marrowby" + kSep;
};

TEST_F(SavedSettingsTest, FirstStartKeepsTheDesignedStateAndOffersTheDataFolder) {
  ensureDataFolder(dataFolder);
  ui::Form f = settingsForm();
  f["edtservice"].caption = "designed";
  loadsettings(f, stored.store(), dataFolder, "home");

  EXPECT_TRUE(platform::isDirectory(dataFolder));
  EXPECT_FALSE(stored.exists()) << "loading must not create the store";
  EXPECT_EQ(f["processtable"].itemIndex, 0);
  EXPECT_EQ(f["cbaccessformat"].itemIndex, 0);
  EXPECT_EQ(f["accessmode"].itemIndex, 0);
  for (const char* check : {"chktabledefi", "chkuppercase", "chkskipindex", "chkblobtotext"})
    EXPECT_FALSE(f[check].checked) << check;
  EXPECT_EQ(f["edtservice"].caption, "designed");
  EXPECT_EQ(f["edtport"].caption, "3306");
  EXPECT_EQ(f["SaveDialog1"].initialFolder, dataFolder);

  // Without an application-data folder the dialog starts at home.
  loadsettings(f, stored.store(), "", "home");
  EXPECT_EQ(f["SaveDialog1"].initialFolder, "home");
}

TEST_F(SavedSettingsTest, IndexValuesAreGuardedAndClamped) {
  struct Case {
    const char* value;
    const char* control;
    const char* text;
    int index;
  };
  const Case cases[] = {
      {"processtable", "processtable", "abc", 0},  {"processtable", "processtable", "", 0},
      {"processtable", "processtable", "2", 2},    {"processtable", "processtable", "7", 2},
      {"processtable", "processtable", "-1", -1},  {"processtable", "processtable", "-9", -1},
      {"processtable", "processtable", "1x", 0},   {"processtable", "processtable", " 1", 1},
      {"accessformat", "cbaccessformat", "1", 1},  {"accessformat", "cbaccessformat", "5", -1},
      {"accessformat", "cbaccessformat", "-2", -1}, {"accessformat", "cbaccessformat", "no", 0},
      {"accessmode", "accessmode", "1", 1},        {"accessmode", "accessmode", "3", 1},
      {"accessmode", "accessmode", "99999999999", 0},
  };
  for (const Case& c : cases) {
    stored.clear();
    stored.plant(c.value, c.text);
    ui::Form f = settingsForm();
    f[c.control].itemIndex = 1;  // shows that the load sets it
    loadsettings(f, stored.store(), dataFolder, "home");
    EXPECT_EQ(f[c.control].itemIndex, c.index) << c.value << "=\"" << c.text << "\"";
  }
}

TEST_F(SavedSettingsTest, OnlyTheExactTextOneChecksABox) {
  const std::pair<const char*, bool> cases[] = {{"1", true},   {"yes", false}, {"true", false},
                                                {"0", false},  {"", false},    {" 1", false},
                                                {"01", false}, {"1 ", false}};
  for (const auto& [text, checked] : cases) {
    stored.clear();
    for (const char* value : {"tabledefonly", "nameuppercase", "skipindex", "blobtotext"})
      stored.plant(value, text);
    ui::Form f = settingsForm();
    loadsettings(f, stored.store(), dataFolder, "home");
    for (const char* check : {"chktabledefi", "chkuppercase", "chkskipindex", "chkblobtotext"})
      EXPECT_EQ(f[check].checked, checked) << check << " from \"" << text << "\"";
  }
}

TEST_F(SavedSettingsTest, AnEmptyPortShowsTheDefaultAndMissingTextsAreEmpty) {
  stored.plant("port", "");
  ui::Form f = settingsForm();
  f["edtservice"].caption = "designed";
  loadsettings(f, stored.store(), dataFolder, "home");
  EXPECT_EQ(f["edtport"].caption, "3306");
  EXPECT_EQ(f["edtservice"].caption, "");

  stored.clear();
  stored.plant("port", "1521");
  loadsettings(f, stored.store(), dataFolder, "home");
  EXPECT_EQ(f["edtport"].caption, "1521");
}

TEST_F(SavedSettingsTest, AValueOfAnotherTypeCountsAsMissing) {
  stored.plantOtherType("processtable");
  stored.plantOtherType("oracleh");
  stored.plantOtherType("tabledefonly");
  stored.plant("oracleu", "scott");
  stored.plant("accessformat", "1");
  ui::Form f = settingsForm();
  f["processtable"].itemIndex = 2;
  f["edtservice"].caption = "designed";
  loadsettings(f, stored.store(), dataFolder, "home");
  EXPECT_EQ(f["processtable"].itemIndex, 0);
  EXPECT_EQ(f["edtservice"].caption, "");
  EXPECT_FALSE(f["chktabledefi"].checked);
  // The load went on past them.
  EXPECT_EQ(f["edtoracleusername"].caption, "scott");
  EXPECT_EQ(f["cbaccessformat"].itemIndex, 1);
}

TEST_F(SavedSettingsTest, SavedControlsAreStoredAsTextAndComeBack) {
  const std::string folder = test::scratchDir() + kSep;
  ui::Form f = settingsForm();
  f["accessmode"].itemIndex = 1;
  f["edtdatabase"].caption = "db";
  f["edtname"].caption = "root";
  f["edtpassword"].caption = "pw";
  f["edthost"].caption = "h\xc3\xa9te";  // UTF-8 crosses the registry as UTF-16
  f["edtport"].caption = "3307";
  f["edtservice"].caption = "ORCL";
  f["edtoraclepassword"].caption = "tiger";
  f["edtoracleusername"].caption = "scott";
  f["processtable"].itemIndex = 1;
  f["chktabledefi"].checked = true;
  f["chkuppercase"].checked = false;
  f["chkskipindex"].checked = true;
  f["chkblobtotext"].checked = false;
  f["cbaccessformat"].itemIndex = -1;
  f["SaveDialog1"].caption = folder + "target.mdb";
  f["editaccessname"].caption = folder + "target.mdb";
  savesettings(f, stored.store());

  const std::map<std::string, std::string> expected = {
      {"accessmode", "1"},   {"mysqldatabase", "db"},      {"mysqlu", "root"},
      {"mysqlp", "pw"},      {"host", "h\xc3\xa9te"},      {"port", "3307"},
      {"oracleh", "ORCL"},   {"oraclep", "tiger"},         {"oracleu", "scott"},
      {"processtable", "1"}, {"tabledefonly", "1"},        {"nameuppercase", "0"},
      {"skipindex", "1"},    {"blobtotext", "0"},          {"defaultaccessdir", folder},
      {"accessformat", "-1"}};
  for (const auto& [name, text] : expected) EXPECT_EQ(stored.stored(name), text) << name;

  ui::Form next = settingsForm();
  loadsettings(next, stored.store(), dataFolder, "home");
  for (const char* name : {"edtdatabase", "edtname", "edtpassword", "edthost", "edtport",
                           "edtservice", "edtoraclepassword", "edtoracleusername"})
    EXPECT_EQ(next[name].caption, f[name].caption) << name;
  for (const char* name : {"accessmode", "processtable", "cbaccessformat"})
    EXPECT_EQ(next[name].itemIndex, f[name].itemIndex) << name;
  for (const char* name : {"chktabledefi", "chkuppercase", "chkskipindex", "chkblobtotext"})
    EXPECT_EQ(next[name].checked, f[name].checked) << name;
  EXPECT_EQ(next["editaccessname"].caption, "") << "the target itself is not stored";
  EXPECT_EQ(next["SaveDialog1"].initialFolder, folder);
}

TEST_F(SavedSettingsTest, ClosingWithoutATargetKeepsTheStoredFolder) {
  const std::string folder = std::string("D:") + kSep + "data" + kSep;
  stored.plant("defaultaccessdir", folder);
  ui::Form f = settingsForm();
  loadsettings(f, stored.store(), dataFolder, "home");
  EXPECT_EQ(f["SaveDialog1"].initialFolder, folder);
  savesettings(f, stored.store());
  EXPECT_EQ(stored.stored("defaultaccessdir"), folder);
  EXPECT_EQ(stored.stored("processtable"), "0") << "the rest was saved";
}

// A store that records the names written and refuses one of them.
class RecordingStore : public SettingsStore {
 public:
  std::string refused;
  bool writable = true;
  std::vector<std::string> written;
  bool finished = false;

  std::unique_ptr<SettingsReader> openForReading() override { return nullptr; }
  std::unique_ptr<SettingsWriter> openForWriting() override {
    if (!writable) return nullptr;
    return std::make_unique<Writer>(*this);
  }

 private:
  struct Writer : SettingsWriter {
    explicit Writer(RecordingStore& s) : store(s) {}
    bool write(std::string_view name, std::string_view) override {
      if (name == store.refused) return false;
      store.written.emplace_back(name);
      return true;
    }
    void finish() override { store.finished = true; }
    RecordingStore& store;
  };
};

TEST(SaveOrder, ValuesGoInTheirOrderAndAFailedOneEndsTheSave) {
  const std::vector<std::string> order = {
      "accessmode",   "mysqldatabase", "mysqlu",        "mysqlp",    "host",
      "port",         "oracleh",       "oraclep",       "oracleu",   "processtable",
      "tabledefonly", "nameuppercase", "skipindex",     "blobtotext", "defaultaccessdir",
      "accessformat"};
  ui::Form f = settingsForm();
  f["editaccessname"].caption = "x.mdb";
  RecordingStore all;
  savesettings(f, all);
  EXPECT_EQ(all.written, order);
  EXPECT_TRUE(all.finished);

  RecordingStore failing;
  failing.refused = "oraclep";
  try {
    savesettings(f, failing);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'oraclep'");
  }
  EXPECT_EQ(failing.written, std::vector<std::string>(order.begin(), order.begin() + 7));
  EXPECT_TRUE(failing.finished) << "the values before the failure are kept";

  RecordingStore locked;
  locked.writable = false;
  EXPECT_NO_THROW(savesettings(f, locked));
}

TEST(FolderPart, KeepsTheFinalSeparator) {
  EXPECT_EQ(folderPart(std::string("a") + kSep + "b" + kSep + "t.mdb"),
            std::string("a") + kSep + "b" + kSep);
  EXPECT_EQ(folderPart("t.mdb"), "");
#ifdef _WIN32
  EXPECT_EQ(folderPart("D:/data/t.mdb"), "D:/data/");
  EXPECT_EQ(folderPart("D:t.mdb"), "D:");
#endif
}

}  // namespace
}  // namespace fennick::settings
