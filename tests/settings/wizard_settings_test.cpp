// The saved settings in the real main window: its start sequence creates
// the data folder and loads, its destruction saves, and the next start
// shows what the last one left.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "settings/data_folder.h"
#include "settings/saved_settings.h"
#include "test_store.h"
#include "test_support.h"
#include "wizard_fakes.h"

namespace fennick::settings {
namespace {

#ifdef _WIN32
constexpr const char* kSep = "\\";
#else
constexpr const char* kSep = "/";
#endif

class WizardSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    BatchMode = false;
  }

  std::unique_ptr<Taaform1> start(SettingsStore& store) {
    MainFormHooks hooks;
    hooks.ensureDataFolder = [this](Taaform1&) { ensureDataFolder(dataFolder); };
    hooks.loadSettings = [this, &store](Taaform1& w) {
      loadsettings(w.form(), store, dataFolder, "home");
    };
    hooks.saveSettings = [&store](Taaform1& w) { savesettings(w.form(), store); };
    auto window = std::make_unique<Taaform1>(ui, test::noTarget(), std::move(hooks), engine.wire());
    window->onCreate();
    return window;
  }

  test::TestStore stored;
  test::ScriptedUi ui;
  test::FakeEngine engine;
  std::string dataFolder = test::scratchDir() + kSep + "Marrowby" + kSep;
};

TEST_F(WizardSettingsTest, FirstStartThenRestartShowsTheSavedState) {
  auto first = start(stored.store());
  ui::Form& f = first->form();
  EXPECT_TRUE(platform::isDirectory(dataFolder));
  EXPECT_EQ(f["processtable"].itemIndex, 0);
  EXPECT_EQ(f["cbaccessformat"].itemIndex, 0);
  EXPECT_FALSE(f["chktabledefi"].checked || f["chkskipindex"].checked ||
               f["chkblobtotext"].checked);
  EXPECT_EQ(f["edtport"].caption, "3306");

  const std::string folder = test::scratchDir() + kSep;
  ui.saveAnswer = folder + "scott.mdb";
  first->onClick("btbrowse");
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].initialFolder, dataFolder);
  f["edtservice"].caption = "ORCL";
  f["processtable"].itemIndex = 2;
  f["cbaccessformat"].itemIndex = 1;
  f["chkblobtotext"].checked = true;
  first->onDestroy();
  EXPECT_TRUE(ui.errors.empty());

  auto second = start(stored.store());
  ui::Form& g = second->form();
  EXPECT_EQ(g["edtservice"].caption, "ORCL");
  EXPECT_EQ(g["processtable"].itemIndex, 2);
  EXPECT_EQ(g["cbaccessformat"].itemIndex, 1);
  EXPECT_TRUE(g["chkblobtotext"].checked);
  EXPECT_EQ(g["editaccessname"].caption, "");
  ui.saveAnswer.reset();
  second->onClick("btbrowse");
  ASSERT_EQ(ui.saveRequests.size(), 2u);
  EXPECT_EQ(ui.saveRequests[1].initialFolder, folder);

  // Closing without choosing a target keeps that folder.
  second->onDestroy();
  EXPECT_EQ(stored.stored("defaultaccessdir"), folder);
}

// The system's store, refusing to write one value.
class RefusingStore : public SettingsStore {
 public:
  RefusingStore(SettingsStore& inner, std::string refused)
      : inner_(inner), refused_(std::move(refused)) {}
  std::unique_ptr<SettingsReader> openForReading() override { return inner_.openForReading(); }
  std::unique_ptr<SettingsWriter> openForWriting() override {
    auto writer = inner_.openForWriting();
    return writer ? std::make_unique<Writer>(std::move(writer), refused_) : nullptr;
  }

 private:
  struct Writer : SettingsWriter {
    Writer(std::unique_ptr<SettingsWriter> w, std::string r)
        : inner(std::move(w)), refused(std::move(r)) {}
    bool write(std::string_view name, std::string_view value) override {
      return name != refused && inner->write(name, value);
    }
    void finish() override { inner->finish(); }
    std::unique_ptr<SettingsWriter> inner;
    std::string refused;
  };
  SettingsStore& inner_;
  std::string refused_;
};

TEST_F(WizardSettingsTest, AFailedWriteAtExitIsShownInTheErrorBox) {
  RefusingStore refusing(stored.store(), "processtable");
  auto window = start(refusing);
  window->form()["edtoracleusername"].caption = "scott";
  window->onDestroy();
  ASSERT_EQ(ui.errors.size(), 1u);
  // The closing quote sorts below ".", so the box adds no full stop.
  EXPECT_EQ(ui.errors[0].text, "Failed to set data for 'processtable'");
  EXPECT_EQ(stored.stored("oracleu"), "scott");
  EXPECT_EQ(stored.stored("processtable"), std::nullopt);
  EXPECT_EQ(stored.stored("accessformat"), std::nullopt);
}

}  // namespace
}  // namespace fennick::settings
