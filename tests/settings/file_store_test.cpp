// The settings file on its own: what it reads, how a save replaces it, and
// where it refuses. Runs on every system (Windows uses the registry, but
// the file store is the same code there).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file.h"
#include "settings/file_store.h"
#include "settings/saved_settings.h"
#include "settings_form.h"
#include "test_support.h"

namespace fennick::settings {
namespace {

using test::joinPath;
using test::scratchDir;

std::size_t filesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(FileStore, ReadsNameValueLines) {
  const std::string path = joinPath(scratchDir(), "settings.ini");
  platform::writeWholeFile(path,
                           "# a line without a value\r\n"
                           "Oracleh=ORCL\r\n"
                           "oracleh=second\n"
                           "empty=\n"
                           "eq=a=b\n"
                           "last=no line end");
  FileSettingsStore store(path);
  auto reader = store.openForReading();
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->read("oracleh"), "ORCL") << "names without case, the first one counts";
  EXPECT_EQ(reader->read("empty"), "");
  EXPECT_EQ(reader->read("eq"), "a=b");
  EXPECT_EQ(reader->read("last"), "no line end");
  EXPECT_EQ(reader->read("# a line without a value"), std::nullopt);
  EXPECT_EQ(reader->read("missing"), std::nullopt);
}

TEST(FileStore, MissingOrOversizedFileReadsAsNothingStored) {
  const std::string folder = scratchDir();
  EXPECT_FALSE(FileSettingsStore(joinPath(folder, "none.ini")).openForReading());
  const std::string big = joinPath(folder, "big.ini");
  platform::writeWholeFile(big, "port=" + std::string(kMaxSettingsFileBytes, '1'));
  EXPECT_FALSE(FileSettingsStore(big).openForReading());
}

TEST(FileStore, SaveReplacesTheWholeFileAndKeepsOtherLines) {
  const std::string folder = scratchDir();
  const std::string path = joinPath(folder, "settings.ini");
  platform::writeWholeFile(path, "PORT=1\nkept=yes\n");
  // What a save that crashed before its rename leaves behind.
  platform::writeWholeFile(path + ".tmp", "garbage");
  FileSettingsStore store(path);
  {
    auto writer = store.openForWriting();
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->write("port", "1521"));
    EXPECT_TRUE(writer->write("oracleh", "ORCL"));
    EXPECT_EQ(platform::readWholeFile(path), "PORT=1\nkept=yes\n") << "untouched until finished";
    writer->finish();
  }
  EXPECT_EQ(platform::readWholeFile(path), "port=1521\nkept=yes\noracleh=ORCL\n");
  EXPECT_EQ(filesIn(folder), 2u) << "the settings and the old leftover, no temporary file";

  // A session that is not finished changes nothing.
  store.openForWriting()->write("port", "9");
  EXPECT_EQ(platform::readWholeFile(path), "port=1521\nkept=yes\noracleh=ORCL\n");
  EXPECT_EQ(filesIn(folder), 2u) << "the settings and the old leftover, no temporary file";
}

#ifndef _WIN32
// The new file takes the old one's place in one step: a reader that had the
// old file open still reads all of it, never a mix of old and new.
TEST(FileStore, SaveTakesTheOldFilesPlaceInOneStep) {
  const std::string path = joinPath(scratchDir(), "settings.ini");
  const std::string old = "port=1\nkept=" + std::string(100, 'x') + "\n";
  platform::writeWholeFile(path, old);
  const platform::File reader = platform::File::open(path, platform::File::Mode::ReadOnly);
  FileSettingsStore store(path);
  auto writer = store.openForWriting();
  ASSERT_TRUE(writer);
  writer->write("port", "1521");
  writer->finish();
  std::string seen(old.size() + 1, '\0');  // room to see a longer file
  seen.resize(reader.readAt(0, seen.data(), seen.size()));
  EXPECT_EQ(seen, old);
  EXPECT_EQ(platform::readWholeFile(path), "port=1521\nkept=" + std::string(100, 'x') + "\n");
}
#endif

TEST(FileStore, AValueThatDoesNotFitOnALineFailsTheSaveWithItsName) {
  const std::string path = joinPath(joinPath(scratchDir(), "fennick"), "settings.ini");
  FileSettingsStore store(path);
  ui::Form f = test::settingsForm();
  f["edtport"].caption = "1521";
  f["edtservice"].caption = "two\nlines";
  try {
    savesettings(f, store);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'oracleh'");
  }
  auto reader = store.openForReading();
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->read("port"), "1521") << "written before the failure";
  EXPECT_EQ(reader->read("oracleh"), std::nullopt);
  EXPECT_EQ(reader->read("oraclep"), std::nullopt) << "not written after the failure";
}

TEST(FileStore, AnUnwritableLocationSavesNothingSilently) {
  const std::string blocker = joinPath(scratchDir(), "file");
  platform::writeWholeFile(blocker, "");
  FileSettingsStore store(joinPath(joinPath(blocker, "fennick"), "settings.ini"));
  EXPECT_FALSE(store.openForWriting());
  EXPECT_FALSE(store.openForReading());
}

}  // namespace
}  // namespace fennick::settings
