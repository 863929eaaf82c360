// The platform's shortcut service, judged from outside: on Windows the
// shell link object reads the .lnk back; elsewhere the desktop launcher's
// text is compared with what a desktop expects.
#include <gtest/gtest.h>

#ifdef _WIN32
#include "shell_link_reader.h"
#endif

#include "core/utf.h"
#include "platform/file.h"
#include "platform/shortcut.h"
#include "test_support.h"

namespace fennick {
namespace {

#ifdef _WIN32

TEST(Shortcut, ShellLinkReadBackThroughTheShell) {
  const std::string dir = test::scratchDir();
  const std::string program = test::joinPath(dir, "fennick.exe");
  platform::writeWholeFile(program, "MZ");
  const std::string parameters = test::joinPath(dir, "night job.fennick");
  const std::string file = test::joinPath(dir, "night job.lnk");
  platform::createShortcut(file, {program, {parameters}, dir + "\\"});
  ASSERT_TRUE(platform::isRegularFile(file));
  const test::ReadLink link = test::readShellLink(file);
  EXPECT_TRUE(equalsIgnoreAsciiCase(link.path, program)) << link.path;
  EXPECT_EQ(link.arguments, "\"" + parameters + "\"");
  EXPECT_TRUE(equalsIgnoreAsciiCase(link.workingFolder, dir + "\\")) << link.workingFolder;
}

#else

TEST(Shortcut, DesktopLauncher) {
  const std::string dir = test::scratchDir();
  const std::string file = test::joinPath(dir, "night job.lnk");
  platform::writeWholeFile(file, "an older, longer file that must go away\n\n\n");
  platform::createShortcut(
      file,
      {"/opt/fennick/bin/fennick", {"/home/u/night $job \"1\" 100%.fennick"}, "/opt/fennick/bin/"});
  EXPECT_EQ(
      platform::readWholeFile(file),
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=night job\n"
      "Exec=\"/opt/fennick/bin/fennick\" \"/home/u/night \\\\$job \\\\\"1\\\\\" 100%%.fennick\"\n"
      "Path=/opt/fennick/bin/\n"
      "Terminal=false\n");
}

TEST(Shortcut, LauncherThatCannotBeWritten) {
  const std::string file = test::joinPath(test::joinPath(test::scratchDir(), "missing"), "x.lnk");
  try {
    platform::createShortcut(file, {"/bin/true", {}, "/bin/"});
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + file + "\". ", 0), 0u);
  }
}

#endif

}  // namespace
}  // namespace fennick
