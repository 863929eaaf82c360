// The caption tables' lookup rules, the two carried tables and the carried
// banner picture.
#include <gtest/gtest.h>

#include <cstdint>

#include "resources/resources.h"
#include "wizard/captions.h"

namespace fennick::test {
namespace {

TEST(CaptionTable, LookupRules) {
  const CaptionTable table(
      "Label1=Welcome\r\nqueryclose=Close this Wizard ?\nLabel1=Second\nno equals sign\n"
      "Label8=\nformula=a=b=c\n=nameless");
  struct Case {
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {"Label1", "Welcome"},             // first of two lines wins
      {"label1", "Welcome"},             // names ignore case
      {"LABEL1", "Welcome"},
      {"queryclose", "Close this Wizard ?"},  // the value keeps its blanks
      {"Label8", ""},                     // an empty value
      {"formula", "a=b=c"},               // everything after the first "="
      {"missing", ""},
      {"no equals sign", ""},
      {"", "nameless"},
  };
  for (const Case& c : cases) EXPECT_EQ(table.lookup(c.name), c.value) << c.name;
  EXPECT_EQ(CaptionTable("\xEF\xBB\xBFLabel1=Welcome").lookup("Label1"), "Welcome");
}

TEST(CaptionTable, CarriedTablesHoldTheSameNames) {
  const CaptionTable english = englishCaptions();
  const CaptionTable chinese = chineseCaptions();
  EXPECT_EQ(english.size(), 48u);
  EXPECT_EQ(chinese.size(), 48u);
  EXPECT_EQ(english.lookup("queryclose"), "Close this Wizard ?");
  EXPECT_EQ(english.lookup("Label21"), "&Service:");
  EXPECT_EQ(chinese.lookup("Label30"), "向导已经完成Oracle 数据库到Access的转换.");
  EXPECT_EQ(english.lookup("helpurl"), "help\\en\\index.html");
  EXPECT_EQ(chinese.lookup("helpurl"), "help\\zh\\index.html");
}

TEST(Banner, IsA170By50Bitmap) {
  const auto banner = findResource("banner", "bitmap");
  ASSERT_TRUE(banner.has_value());
  ASSERT_GE(banner->size(), 54u);
  auto le32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>((*banner)[at + i]);
    return v;
  };
  EXPECT_EQ(banner->substr(0, 2), "BM");
  EXPECT_EQ(le32(2), banner->size());
  EXPECT_EQ(le32(18), 170u);
  EXPECT_EQ(le32(22), 50u);
}

}  // namespace
}  // namespace fennick::test
