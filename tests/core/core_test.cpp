#include <gtest/gtest.h>

#include "core/utf.h"
#include "core/value.h"

namespace fennick {
namespace {

TEST(Utf, RoundTripsAcrossPlanes) {
  const std::string text = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // A é 中 😀
  const std::u16string wide = utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'A', u'\u00e9', u'\u4e2d', 0xD83D, 0xDE00}));
  EXPECT_EQ(utf16ToUtf8(wide), text);
  EXPECT_EQ(utf16Length(text), 5u);
}

TEST(Utf, InvalidInputBecomesReplacementCharacter) {
  EXPECT_EQ(utf8ToUtf16("a\xFF" "b"), (std::u16string{u'a', 0xFFFD, u'b'}));
  EXPECT_EQ(utf8ToUtf16("\xE4\xB8"), (std::u16string{0xFFFD, 0xFFFD}));  // truncated
  EXPECT_EQ(utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");
  EXPECT_FALSE(isValidUtf8("\xC0\x80"));  // overlong
  EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));
}

TEST(Utf, AsciiCaseOnlyTouchesAsciiLetters) {
  EXPECT_EQ(asciiUpper("emp_\xC3\xA9z"), "EMP_\xC3\xA9Z");
  EXPECT_TRUE(equalsIgnoreAsciiCase("column_name", "COLUMN_NAME"));
  EXPECT_FALSE(equalsIgnoreAsciiCase("a", "ab"));
}

TEST(DateTime, OleDatesMatchJet) {
  struct Case {
    DateTime t;
    double ole;
  } cases[] = {
      {{1899, 12, 30}, 0.0},
      {{1900, 1, 1}, 2.0},
      {{2000, 2, 29, 18, 0, 0}, 36585.75},
      {{1899, 12, 29, 6, 0, 0}, -1.25},
      {{1600, 1, 1}, -109571.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(c.t.toOleDate(), c.ole) << c.t.toIsoString();
    EXPECT_EQ(DateTime::fromOleDate(c.ole), c.t) << c.ole;
  }
}

TEST(Value, DisplayStrings) {
  EXPECT_EQ(Value().toDisplayString(), "");
  EXPECT_EQ(Value::real(0.1).toDisplayString(), "0.1");
  EXPECT_EQ(Value::bytes({0x0A, 0xFF}).toDisplayString(), "0AFF");
  EXPECT_EQ(Value::dateTime({2024, 5, 6, 7, 8, 9, 500000000}).toDisplayString(),
            "2024-05-06 07:08:09.5");
  EXPECT_EQ(Value::integer(-5), Value::integer(-5));
  EXPECT_NE(Value::integer(1), Value::real(1));
}

}  // namespace
}  // namespace fennick
