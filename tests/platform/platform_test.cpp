#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::platform {
namespace {

TEST(CodePage, WindowsCodePagesBothWays) {
  EXPECT_EQ(toCodePage(1252, "caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
  EXPECT_EQ(fromCodePage(1252, "caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
  // 中文 in GBK
  EXPECT_EQ(toCodePage(936, "\xE4\xB8\xAD\xE6\x96\x87"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(fromCodePage(936, "\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");
}

TEST(CodePage, UnrepresentableCharactersBecomeTheDefaultCharacter) {
  EXPECT_EQ(toCodePage(1252, "a\xE4\xB8\xAD" "b"), "a?b");
}

TEST(CodePage, AnsiRoundTripsAscii) {
  EXPECT_EQ(fromAnsi(toAnsi("plain text")), "plain text");
}

TEST(File, WritesReadsAndReportsMissingFolders) {
  const std::string dir = test::scratchDir();
  const std::string path = test::joinPath(dir, "f.bin");
  writeWholeFile(path, std::string("abc\0def", 7));
  EXPECT_TRUE(isRegularFile(path));
  EXPECT_FALSE(isDirectory(path));
  EXPECT_EQ(readWholeFile(path), std::string("abc\0def", 7));
  {
    File f = File::open(path, File::Mode::ReadWrite);
    f.writeAt(10, "xy", 2);
    EXPECT_EQ(f.size(), 12u);
    char buf[4] = {};
    EXPECT_EQ(f.readAt(10, buf, 4), 2u);
    f.truncate(3);
    EXPECT_EQ(f.size(), 3u);
  }
  const std::string missing = test::joinPath(test::joinPath(dir, "no-such-folder"), "x.log");
  try {
    writeWholeFile(missing, "x");
    FAIL() << "expected an error";
  } catch (const SystemError& e) {
    const std::string prefix = "Cannot create file \"" + missing + "\". ";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
    EXPECT_GT(std::string(e.what()).size(), prefix.size());
    EXPECT_NE(std::string(e.what()).back(), '.');
  }
}

#ifndef _WIN32
TEST(File, PrivateFilesAreForTheirOwnerOnly) {
  const std::string path = test::joinPath(test::scratchDir(), "secret");
  writeWholeFile(path, "open");  // an existing file with the usual mode
  writePrivateFile(path, "secret");
  EXPECT_EQ(readWholeFile(path), "secret");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif

TEST(File, DirectoryIsNotAFile) {
  const std::string dir = test::scratchDir();
  EXPECT_TRUE(isDirectory(dir));
  EXPECT_FALSE(isRegularFile(dir));
  EXPECT_THROW(writeWholeFile(dir, "x"), SystemError);
  const std::string sub = test::joinPath(dir, "sub");
  EXPECT_TRUE(createDirectory(sub));
  EXPECT_FALSE(createDirectory(sub));
}

}  // namespace
}  // namespace fennick::platform
