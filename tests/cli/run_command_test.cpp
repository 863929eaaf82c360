// fennick-cli run: a saved job replayed without a window, end to end into a
// new Access file that mdbtools reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/wait.h>

#include "platform/file.h"
#include "test_support.h"

namespace fennick {
namespace {

std::string run(const std::string& line, int& status) {
  std::string out;
  FILE* pipe = popen(line.c_str(), "r");
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) out += buffer;
  status = pipe ? WEXITSTATUS(pclose(pipe)) : -1;
  return out;
}

TEST(RunCommand, ReplaysAJobIntoANewFileAndWritesTheLogBesideIt) {
  const std::string dir = test::scratchDir();
  const std::string job = test::joinPath(dir, "nightly.fennick");
  const std::string target = test::joinPath(dir, "out.mdb");
  platform::writeWholeFile(
      job, "oracleh=sqlite:" + test::binaryPath("samples/sample.db") +
               "\r\noracleu=\r\noraclep=\r\naccessmode=0\r\naccessfilename=" + target +
               "\r\naccessformat=1\r\nprocesstable=0\r\ntabledefonly=0\r\nskipindex=0\r\n"
               "blobtotext=0\r\nalltables=0\r\ntables1=SALARIES\r\ntables2=NO_SUCH_TABLE\r\n"
               "tables3=EMPLOYEES\r\n");
  int status = -1;
  const std::string out =
      run("'" + test::binaryPath("bin/fennick-cli") + "' run '" + job + "' 2>&1", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Insert table SALARIES 6 Rows ...Done\n"), std::string::npos) << out;

  const std::string log = platform::readWholeFile(test::joinPath(dir, "nightly.log"));
  EXPECT_EQ(log.rfind("Start time:", 0), 0u) << log;
  EXPECT_LT(log.find("Create table SALARIES...Done\r\n"), log.find("Create table EMPLOYEES...Done\r\n"));
  EXPECT_NE(log.find("\r\nThe end time:"), std::string::npos);
  EXPECT_EQ(log.find("NO_SUCH_TABLE"), std::string::npos);

  EXPECT_EQ(run("mdb-count '" + target + "' EMPLOYEES", status), "5\n");
  EXPECT_EQ(run("mdb-count '" + target + "' SALARIES", status), "6\n");
}

TEST(RunCommand, AMissingJobLeavesATwoLineLogAndFails) {
  const std::string dir = test::scratchDir();
  const std::string job = test::joinPath(dir, "missing.fennick");
  int status = -1;
  run("'" + test::binaryPath("bin/fennick-cli") + "' run '" + job + "' 2>&1", status);
  EXPECT_NE(status, 0);
  const std::string log = platform::readWholeFile(test::joinPath(dir, "missing.log"));
  EXPECT_NE(log.find("\r\nCannot open file \"" + job + "\". "), std::string::npos) << log;
}

}  // namespace
}  // namespace fennick
