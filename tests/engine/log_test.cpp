#include <gtest/gtest.h>

#include "engine/job.h"
#include "engine/log.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick {
namespace {

TEST(ConversionLog, EmptyLogReplaceAndAppendMakeTheOnlyLine) {
  ConversionLog a, b;
  EXPECT_EQ(a.LineCount(), 0u);
  a.ReplaceLastLine("x");
  b.AppendToLastLine("y");
  EXPECT_EQ(a.lines(), std::vector<std::string>{"x"});
  EXPECT_EQ(b.lines(), std::vector<std::string>{"y"});
}

TEST(ConversionLog, EmptyLinesCountAndSaveWritesCrLfAfterEveryLine) {
  ConversionLog log;
  log.AppendLine("A");
  log.AppendEmptyLine();
  log.AppendLine("");
  log.AppendLine("B");
  EXPECT_EQ(log.LineCount(), 4u);
  const std::string path = test::joinPath(test::scratchDir(), "run.log");
  log.SaveLog(path);
  EXPECT_EQ(platform::readWholeFile(path), "A\r\n\r\n\r\nB\r\n");
}

TEST(ConversionLog, AppendToLastLineWorksInPlace) {
  ConversionLog log;
  log.AppendLine("first");
  log.AppendLine("Insert table EMP 14 Rows ");
  log.AppendToLastLine("...Done");
  EXPECT_EQ(log.LineCount(), 2u);
  EXPECT_EQ(log.LastLine(), "Insert table EMP 14 Rows ...Done");
}

TEST(ConversionLog, CrLfInsideTextStartsNewLines) {
  ConversionLog log;
  log.AppendLine("one\r\ntwo");
  log.ReplaceLastLine("2\r\n3");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"one", "2", "3"}));
  log.AppendLine("lone\nfeed");
  EXPECT_EQ(log.LastLine(), "lone\nfeed");
  log.ClearLog();
  EXPECT_EQ(log.LineCount(), 0u);
  EXPECT_EQ(log.LastLine(), "");
}

TEST(ConversionLog, ListenerHearsEveryChange) {
  ConversionLog log;
  std::vector<ConversionLog::Change> seen;
  const std::size_t id =
      log.addListener([&](const ConversionLog&, ConversionLog::Change c) { seen.push_back(c); });
  int second = 0;
  log.addListener([&](const ConversionLog&, ConversionLog::Change) { ++second; });
  log.AppendLine("a");
  log.ReplaceLastLine("b");
  log.AppendToLastLine("c");
  log.ClearLog();
  using C = ConversionLog::Change;
  EXPECT_EQ(seen, (std::vector<C>{C::Appended, C::LastLineReplaced, C::LastLineReplaced,
                                  C::Cleared}));
  EXPECT_EQ(second, 4);
  log.removeListener(id);
  log.AppendLine("x");
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(second, 5);
}

TEST(ConversionLog, SaveToMissingFolderFailsAndKeepsTheLog) {
  ConversionLog log;
  log.AppendLine("kept");
  const std::string path =
      test::joinPath(test::joinPath(test::scratchDir(), "missing"), "x.log");
  try {
    log.SaveLog(path);
    FAIL() << "expected an error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + path + "\". ", 0), 0u)
        << e.what();
  }
  EXPECT_EQ(log.lines(), std::vector<std::string>{"kept"});
}

TEST(ConversionLog, SavesNonAsciiInTheAnsiCodePage) {
  ConversionLog log;
  log.AppendLine("Caf\xC3\xA9 \xE4\xB8\xAD");  // Café 中
  const std::string path = test::joinPath(test::scratchDir(), "ansi.log");
  log.SaveLog(path);
  const std::string bytes = platform::readWholeFile(path);
  EXPECT_EQ(bytes, platform::toAnsi("Caf\xC3\xA9 \xE4\xB8\xAD\r\n"));
  if (platform::ansiCodePage() == 1252) {
    EXPECT_EQ(bytes, "Caf\xE9 ?\r\n");
  } else if (platform::ansiCodePage() == 936) {
    EXPECT_EQ(bytes, "Caf\xA8\xA6 \xD6\xD0\r\n");
  } else if (platform::ansiCodePage() == 65001) {
    EXPECT_EQ(bytes, "Caf\xC3\xA9 \xE4\xB8\xAD\r\n");
  }
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(ConversionJob, OnlyTheExactTextOneIsOn) {
  for (const char* off : {"0", "", "yes", "01", " 1", "1 ", "true"})
    EXPECT_FALSE(flagFromText(off)) << off;
  EXPECT_TRUE(flagFromText("1"));
  EXPECT_STREQ(flagToText(true), "1");
  EXPECT_STREQ(flagToText(false), "0");
}

TEST(ConversionJob, PolicyAndFormatFromItemIndexes) {
  ConversionJob job;
  EXPECT_EQ(job.policy(), ExistingTablePolicy::Overwrite);
  EXPECT_EQ(job.format(), AccessFormat::Access95_97);
  const std::pair<int, ExistingTablePolicy> policies[] = {
      {1, ExistingTablePolicy::Merge}, {2, ExistingTablePolicy::Skip},
      {-1, ExistingTablePolicy::Merge}, {3, ExistingTablePolicy::Merge}};
  for (auto [index, policy] : policies) {
    job.processtable = index;
    EXPECT_EQ(job.policy(), policy) << index;
  }
  for (int index : {-1, 0, 2, 7}) {
    job.accessformat = index;
    EXPECT_EQ(job.format(), AccessFormat::Access95_97);
  }
  job.accessformat = 1;
  EXPECT_EQ(job.format(), AccessFormat::Access2000);
}

}  // namespace
}  // namespace fennick
