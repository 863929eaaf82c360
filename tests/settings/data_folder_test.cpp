// The data folder: where it lies and how the start step creates it.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "settings/data_folder.h"
#include "test_support.h"

namespace fennick::settings {
namespace {

using test::joinPath;
using test::scratchDir;

TEST(DataFolder, IsCreatedOneLevelDeepOnly) {
  const std::string base = scratchDir();
  const std::string oneLevel = joinPath(base, "Marrowby");
  ensureDataFolder(joinPath(oneLevel, ""));
  EXPECT_TRUE(platform::isDirectory(oneLevel));
  ensureDataFolder(joinPath(oneLevel, ""));  // an existing folder is fine
  EXPECT_TRUE(platform::isDirectory(oneLevel));

  const std::string twoLevels = joinPath(joinPath(base, "missing"), "Marrowby");
  ensureDataFolder(joinPath(twoLevels, ""));
  EXPECT_FALSE(platform::isDirectory(joinPath(base, "missing")));
  EXPECT_NO_THROW(ensureDataFolder(""));
}

TEST(DataFolder, FollowsTheXdgRule) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* folder;
  };
  const Case cases[] = {
      {"/x/data", "/home/u", "/x/data"},
      {"/x/data/", "/home/u", "/x/data"},
      {"", "/home/u", "/home/u/.local/share"},
      {"relative/data", "/home/u/", "/home/u/.local/share"},
      {"", "", ""},
      {"", "not/absolute", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(xdgFolder(c.xdg, c.home, ".local/share"), c.folder) << c.xdg << " | " << c.home;
}

TEST(DataFolder, IsTheApplicationDataFolderAndMarrowby) {
  const std::string appData = getspecialfolder(kApplicationDataFolder);
  if (appData.empty()) GTEST_SKIP() << "no application-data folder in this environment";
  EXPECT_EQ(getdatafolder(), joinPath(joinPath(appData, "Marrowby"), ""));
#ifdef _WIN32
  // The shell's folder exists under Wine's profile.
  EXPECT_TRUE(platform::isDirectory(appData)) << appData;
  EXPECT_FALSE(getspecialfolder(kUserProfileFolder).empty());
#endif
}

}  // namespace
}  // namespace fennick::settings
