// The platform's shortcut service, judged from outside: on Windows the
// shell link object reads the .lnk back; elsewhere the desktop launcher's
// text is compared with what a desktop expects.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#endif

#include "core/utf.h"
#include "platform/file.h"
#include "platform/shortcut.h"
#include "test_support.h"

namespace fennick {
namespace {

#ifdef _WIN32

struct ReadLink {
  std::string path, arguments, workingFolder;
};

std::string narrow(const wchar_t* text) {
  return utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text)));
}

// Loads the link through IPersistFile and asks IShellLinkW what it holds.
ReadLink readLink(const std::string& file) {
  ReadLink result;
  EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    const std::u16string wide = utf8ToUtf16(file);
    EXPECT_TRUE(SUCCEEDED(persist->Load(reinterpret_cast<const wchar_t*>(wide.c_str()), STGM_READ)));
    wchar_t buffer[MAX_PATH * 2] = {};
    EXPECT_TRUE(SUCCEEDED(link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH)));
    result.path = narrow(buffer);
    buffer[0] = 0;
    EXPECT_TRUE(SUCCEEDED(link->GetArguments(buffer, MAX_PATH * 2)));
    result.arguments = narrow(buffer);
    buffer[0] = 0;
    EXPECT_TRUE(SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH * 2)));
    result.workingFolder = narrow(buffer);
  } else {
    ADD_FAILURE() << "no shell link object";
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return result;
}

TEST(Shortcut, ShellLinkReadBackThroughTheShell) {
  const std::string dir = test::scratchDir();
  const std::string program = test::joinPath(dir, "fennick.exe");
  platform::writeWholeFile(program, "MZ");
  const std::string parameters = test::joinPath(dir, "night job.fennick");
  const std::string file = test::joinPath(dir, "night job.lnk");
  platform::createShortcut(file, {program, {parameters}, dir + "\\"});
  ASSERT_TRUE(platform::isRegularFile(file));
  const ReadLink link = readLink(file);
  EXPECT_TRUE(equalsIgnoreAsciiCase(link.path, program)) << link.path;
  EXPECT_EQ(link.arguments, "\"" + parameters + "\"");
  EXPECT_TRUE(equalsIgnoreAsciiCase(link.workingFolder, dir + "\\")) << link.workingFolder;
}

#else

TEST(Shortcut, DesktopLauncher) {
  const std::string dir = test::scratchDir();
  const std::string file = test::joinPath(dir, "night job.lnk");
  platform::writeWholeFile(file, "an older, longer file that must go away\n\n\n");
  platform::createShortcut(file, {"/opt/fennick/bin/fennick", {"/home/u/night $job \"1\" 100%.fennick"},
                                  "/opt/fennick/bin/"});
  EXPECT_EQ(platform::readWholeFile(file),
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
