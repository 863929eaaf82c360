// The lock file beside a database: one writer at a time, readers always,
// entries of programs that died taken over, another process's entry (and on
// Windows a lock file another program holds open) refused by name.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "fixtures.h"
#include "jet/database.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

std::string copyOfFixture(const char* name) {
  const std::string path = test::joinPath(test::scratchDir(), name);
  platform::writeWholeFile(path, test::readFileBytes(test::accessFixturePath("testV2000.mdb")));
  return path;
}

// "<folder>/<name>.ldb" beside "<folder>/<name>.mdb".
std::string lockBeside(const std::string& path) { return path.substr(0, path.size() - 4) + ".ldb"; }

std::string refusal(const std::string& path) {
  try {
    Database::open(path, OpenMode::ReadWrite);
  } catch (const Error& e) {
    return e.what();
  }
  return {};
}

// One writer at a time, recorded in the lock file beside the database;
// readers are never locked out, and the last writer out removes the file.
TEST(LockFile, OneWriterAtATimeAndReadersAlways) {
  const std::string path = copyOfFixture("shared.mdb");
  const std::string lock = lockBeside(path);
  {
    const Database writer = Database::open(path, OpenMode::ReadWrite);
    EXPECT_TRUE(platform::isRegularFile(lock));
    const std::string entry = platform::readWholeFile(lock);
    ASSERT_EQ(entry.size(), 64u);
    EXPECT_EQ(entry.substr(32, 6), std::string("Admin\0", 6));
    const std::string refused = refusal(path);
    EXPECT_NE(refused.find("is open in another program (computer "), std::string::npos) << refused;
    EXPECT_NE(refused.find(", user Admin); close it and try again."), std::string::npos) << refused;
    const Database reader = Database::open(path, OpenMode::ReadOnly);
    EXPECT_EQ(writer.tables().size(), reader.tables().size());
  }
  EXPECT_FALSE(platform::isRegularFile(lock));
  // An entry left behind by a program that died holds no lock: it is taken over.
  platform::writeWholeFile(lock, std::string(64, 'x'));
  { const Database again = Database::open(path, OpenMode::ReadWrite); }
  EXPECT_FALSE(platform::isRegularFile(lock));
}

#ifndef _WIN32
// A writer in another process keeps us out until it is gone, even when it
// dies without a word.
TEST(LockFile, AnotherProcessHoldsItUntilItDies) {
  const std::string path = copyOfFixture("other.mdb");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const Database held = Database::open(path, OpenMode::ReadWrite);
    (void)!write(ready[1], "!", 1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_NE(refusal(path).find("is open in another program"), std::string::npos);
  { const Database reader = Database::open(path, OpenMode::ReadOnly); }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(refusal(path), "");
  close(ready[0]);
  close(ready[1]);
}
#else
// Access holds the lock file open while it has the database open; it takes
// no lock of ours, but its open handle is enough.
TEST(LockFile, ALockFileAnotherProgramHoldsOpenRefusesWriting) {
  const std::string path = copyOfFixture("access.mdb");
  const std::string lock = lockBeside(path);
  std::string entry(64, '\0');
  entry.replace(0, 6, "OFFICE");
  entry.replace(32, 5, "Admin");
  platform::writeWholeFile(lock, entry);
  {
    platform::File access = platform::File::open(lock, platform::File::Mode::ReadWrite);
    EXPECT_NE(refusal(path).find("(computer OFFICE, user Admin)"), std::string::npos) << refusal(path);
    const Database reader = Database::open(path, OpenMode::ReadOnly);
  }
  EXPECT_EQ(refusal(path), "");
}
#endif

}  // namespace
}  // namespace fennick::jet
