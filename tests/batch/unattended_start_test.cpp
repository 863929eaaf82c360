// The unattended start: the command line, the values copied into the main
// window, the start timer, and the batch log of a start that failed.
#include <gtest/gtest.h>

#include "batch/command_line.h"
#include "batch/unattended_start.h"
#include "batch_fakes.h"
#include "engine/flags.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick {
namespace {

using test::ScriptedUi;

TEST(CommandLine, Splitting) {
  using Words = std::vector<std::string>;
  struct Case {
    const char* line;
    Words words;
  } cases[] = {
      {"fennick.exe \"C:\\My Jobs\\nightly.fennick\"",
       {"fennick.exe", "C:\\My Jobs\\nightly.fennick"}},
      {"  a\tb\r\n c  ", {"a", "b", "c"}},
      {"\"C:\\Program Files\\f.exe\" x\"y z\"w", {"C:\\Program Files\\f.exe", "xy zw"}},
      {"a \"\" b", {"a", "b"}},
      {"a \"open ended", {"a", "open ended"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, BatchModeFromTheFirstArgument) {
  EXPECT_TRUE(setBatchModeFromArguments({"C:\\jobs\\nightly.fennick"}));
  EXPECT_TRUE(BatchMode);
  EXPECT_FALSE(setBatchModeFromArguments({}));
  EXPECT_FALSE(BatchMode);
}

class UnattendedStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main = test::mainWindow(ui);
    // Values the saved settings might have left, which the file replaces.
    ui::Form& w = form();
    w["edtdatabase"].caption = "shop";
    w["edthost"].caption = "db1";
    w["chkuppercase"].checked = true;
    w["chkblobtotext"].checked = true;
  }
  ui::Form& form() { return main->form(); }
  ui::Component& c(const char* name) { return form()[name]; }
  void apply(const std::string& text) {
    list.loadBytes(text);
    ApplyBatchParameters(form(), list);
  }

  ScriptedUi ui;
  std::unique_ptr<Taaform1> main;
  ParameterList list;
  static constexpr const char* kNumbers = "accessmode=0\r\naccessformat=1\r\nprocesstable=0\r\n";
};

TEST_F(UnattendedStartTest, AppliesEveryKey) {
  apply(std::string("OracleH=orcl\r\nORACLEU=scott\r\noraclep=ti=ger\r\n") + kNumbers +
        "accessfilename=C:\\data\\scott.mdb\r\ntabledefonly=1\r\nskipindex=1\r\nblobtotext=0\r\n");
  EXPECT_EQ(c("edtservice").caption, "orcl");
  EXPECT_EQ(c("edtoracleusername").caption, "scott");
  EXPECT_EQ(c("edtoraclepassword").caption, "ti=ger");
  EXPECT_EQ(c("cbaccessformat").itemIndex, 1);
  EXPECT_EQ(c("SaveDialog1").caption, "C:\\data\\scott.mdb");
  EXPECT_EQ(c("editaccessname").caption, "C:\\data\\scott.mdb");
  EXPECT_TRUE(c("chktabledefi").checked);
  EXPECT_TRUE(c("chkskipindex").checked);
  EXPECT_FALSE(c("chkblobtotext").checked);
  // Keys the file does not carry empty their boxes and clear their flags.
  EXPECT_EQ(c("edtdatabase").caption, "");
  EXPECT_EQ(c("edthost").caption, "");
  EXPECT_FALSE(c("chkuppercase").checked);
}

TEST_F(UnattendedStartTest, IndexesAreClamped) {
  struct Case {
    const char* processtable;
    const char* accessformat;
    const char* accessmode;
    int policy, format, mode;
  } cases[] = {
      {"7", "5", "9", 2, -1, 1},
      {"-5", "-1", "-3", -1, -1, -1},
      {"1", "0", "$1", 1, 0, 1},
      {"$2", "0x1", " 0", 2, 1, 0},
  };
  for (const Case& k : cases) {
    apply(std::string("processtable=") + k.processtable + "\r\naccessformat=" + k.accessformat +
          "\r\naccessmode=" + k.accessmode + "\r\n");
    EXPECT_EQ(c("processtable").itemIndex, k.policy) << k.processtable;
    EXPECT_EQ(c("cbaccessformat").itemIndex, k.format) << k.accessformat;
    EXPECT_EQ(c("accessmode").itemIndex, k.mode) << k.accessmode;
  }
}

TEST_F(UnattendedStartTest, MalformedNumberStopsBeforeTheRest) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"accessmode=0\r\naccessformat=1\r\nprocesstable=abc\r\ntabledefonly=1\r\n",
       "''abc'' is not a valid integer value"},
      {"accessmode=0\r\nprocesstable=1\r\ntabledefonly=1\r\n", "'''' is not a valid integer value"},
  };
  for (const Case& k : cases) {
    c("chktabledefi").checked = false;
    c("SaveDialog1").caption = "untouched";
    try {
      apply(std::string("oracleh=orcl\r\naccessfilename=C:\\x.mdb\r\n") + k.text);
      FAIL() << k.text;
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), k.message);
    }
    EXPECT_EQ(c("edtservice").caption, "orcl");  // applied before the failure
    EXPECT_FALSE(c("chktabledefi").checked);     // after it: not applied
  }
  EXPECT_EQ(c("SaveDialog1").caption, "untouched");  // accessformat missing: stops before it
}

TEST_F(UnattendedStartTest, StartsFromAWrittenFile) {
  const std::string file = test::joinPath(test::scratchDir(), "nightly.fennick");
  platform::writeWholeFile(file, std::string("oracleh=orcl\r\n") + kNumbers);
  ConversionLog log;
  EXPECT_TRUE(unattendedStart(form(), log, list, ui, {file}));
  ASSERT_EQ(log.LineCount(), 1u);
  EXPECT_EQ(log.lines()[0].rfind("Start time:", 0), 0u);
  EXPECT_GT(log.lines()[0].size(), 11u);
  EXPECT_EQ(list.lookup("oracleh"), "orcl");
  EXPECT_EQ(c("edtservice").caption, "orcl");
  ASSERT_EQ(ui.timers.size(), 1u);
  EXPECT_EQ(ui.timers[0], (std::pair<std::string, int>{"Timer1", 1000}));
  EXPECT_FALSE(platform::isRegularFile(test::joinPath(test::scratchDir(), "nightly.log")));
}

TEST_F(UnattendedStartTest, MissingFileLeavesATwoLineBatchLog) {
  const std::string dir = test::scratchDir();
  const std::string file = test::joinPath(dir, "gone.fennick");
  ConversionLog log;
  EXPECT_FALSE(unattendedStart(form(), log, list, ui, {file}));
  EXPECT_TRUE(ui.timers.empty());
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(c("edtdatabase").caption, "shop");  // nothing applied

  ParameterList batchLog;  // reads the CR LF lines back
  batchLog.load(test::joinPath(dir, "gone.log"));
  ASSERT_EQ(batchLog.lineCount(), 2u);
  EXPECT_EQ(batchLog.lines()[0].rfind("Start time:", 0), 0u);
  const std::string prefix = "Cannot open file \"" + file + "\". ";
  EXPECT_EQ(batchLog.lines()[1].rfind(prefix, 0), 0u) << batchLog.lines()[1];
  EXPECT_GT(batchLog.lines()[1].size(), prefix.size());
  const std::string bytes = platform::readWholeFile(test::joinPath(dir, "gone.log"));
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(UnattendedStartTest, BatchLogThatCannotBeSaved) {
  const std::string file =
      test::joinPath(test::joinPath(test::scratchDir(), "missing"), "j.fennick");
  ConversionLog log;
  EXPECT_FALSE(unattendedStart(form(), log, list, ui, {file}));
  EXPECT_EQ(log.LineCount(), 2u);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].text.rfind("Cannot create file \"", 0), 0u) << ui.errors[0].text;
  EXPECT_EQ(ui.errors[0].title, kApplicationTitle);
}

}  // namespace
}  // namespace fennick
