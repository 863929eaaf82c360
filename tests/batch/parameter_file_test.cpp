// The parameter file's lines and bytes and the names derived from a
// shortcut's name; the bytes are read back by the parameter list.
#include <gtest/gtest.h>

#include "batch/parameter_file.h"
#include "batch/parameter_list.h"
#include "engine/run.h"
#include "platform/codepage.h"

namespace fennick {
namespace {

ShortcutJob sampleJob() {
  ShortcutJob job;
  job.oracleh = "orcl";
  job.oracleu = "scott";
  job.oraclep = "ti=ger";
  job.accessmode = 0;
  job.accessfilename = "C:\\data\\scott.mdb";
  job.accessformat = 1;
  job.processtable = 2;
  job.tabledefonly = false;
  job.skipindex = true;
  job.blobtotext = true;
  job.alltables = 0;
  job.tables = {"EMP", "DEPT"};
  return job;
}

TEST(ParameterFile, LinesInOrderWithCrLf) {
  const std::string expected =
      "oracleh=orcl\r\noracleu=scott\r\noraclep=ti=ger\r\naccessmode=0\r\n"
      "accessfilename=C:\\data\\scott.mdb\r\naccessformat=1\r\nprocesstable=2\r\n"
      "tabledefonly=0\r\nskipindex=1\r\nblobtotext=1\r\nalltables=0\r\n"
      "tables1=EMP\r\ntables2=DEPT\r\n";
  const std::string bytes = parameterFileBytes(parameterFileLines(sampleJob()));
  EXPECT_EQ(bytes, expected);

  // The reader takes everything after the first "=".
  ParameterList list;
  list.loadBytes(bytes);
  EXPECT_EQ(list.lookup("oraclep"), "ti=ger");
  EXPECT_EQ(list.lookup("tables2"), "DEPT");
  EXPECT_EQ(list.lineCount(), 13u);
}

TEST(ParameterFile, TableChoiceAndUnsetFormat) {
  struct Case {
    int alltables;
    std::vector<std::string> tables;
    int accessformat;
    std::vector<std::string> tail;  // the lines from accessformat on, without the flags
  } cases[] = {
      {0, {}, 0, {"accessformat=0", "alltables=0"}},
      {1, {"EMP", "DEPT"}, 0, {"accessformat=0", "alltables=1"}},
      {0, {}, -1, {"accessformat=-1", "alltables=0"}},
  };
  for (const Case& c : cases) {
    ShortcutJob job = sampleJob();
    job.alltables = c.alltables;
    job.tables = c.tables;
    job.accessformat = c.accessformat;
    const std::vector<std::string> lines = parameterFileLines(job);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[5], c.tail[0]);
    EXPECT_EQ(lines.back(), c.tail[1]);
  }
}

TEST(ParameterFile, AnsiCodePage) {
  // "Café 表": the e acute exists in Windows-1252, the Chinese character
  // does not and becomes the code page's default character.
  const std::string bytes = parameterFileBytes({"tables1=Caf\xC3\xA9 \xE8\xA1\xA8"});
  if (platform::ansiCodePage() == 1252)
    EXPECT_EQ(bytes, "tables1=Caf\xE9 ?\r\n");
  else if (platform::ansiCodePage() == 65001)
    EXPECT_EQ(bytes, "tables1=Caf\xC3\xA9 \xE8\xA1\xA8\r\n");
  else if (platform::ansiCodePage() == 20127)
    EXPECT_EQ(bytes, "tables1=Caf? ?\r\n");
  else
    GTEST_SKIP() << "code page " << platform::ansiCodePage();
}

TEST(ParameterFile, DerivedNames) {
  struct Case {
    const char* shortcut;
    const char* parameterFile;
    const char* batchLog;
  } cases[] = {
      {"C:\\jobs\\nightly.lnk", "C:\\jobs\\nightly.fennick", "C:\\jobs\\nightly.log"},
      {"C:\\jobs\\nightly", "C:\\jobs\\nightly.fennick", "C:\\jobs\\nightly.log"},
      {"C:\\jobs.v2\\nightly", "C:\\jobs.v2\\nightly.fennick", "C:\\jobs.v2\\nightly.log"},
      {"/home/u/nightly.run.lnk", "/home/u/nightly.run.fennick", "/home/u/nightly.run.log"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parameterFileName(c.shortcut), c.parameterFile) << c.shortcut;
    EXPECT_EQ(batchLogName(parameterFileName(c.shortcut)), c.batchLog) << c.shortcut;
  }
}

}  // namespace
}  // namespace fennick
