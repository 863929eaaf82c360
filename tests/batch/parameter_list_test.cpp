#include <gtest/gtest.h>

#include "batch/parameter_list.h"
#include "platform/error.h"
#include "test_support.h"

namespace fennick {
namespace {

TEST(ParameterList, LinesKeysAndValues) {
  ParameterList list;
  list.loadBytes("OracleH=svc\r\noraclep=a=b\rnokey\n\ntables1=EMP\r\n");
  EXPECT_EQ(list.lineCount(), 5u);
  EXPECT_EQ(list.lookup("oracleh"), "svc");
  EXPECT_EQ(list.lookup("ORACLEP"), "a=b");
  EXPECT_EQ(list.lookup("tables1"), "EMP");
  EXPECT_EQ(list.lookup("missing"), "");
  list.loadBytes("a =1\r\na=2\r\na=3");
  EXPECT_EQ(list.lineCount(), 3u);
  EXPECT_EQ(list.lookup("a"), "2");  // "a " is another key; first match wins
}

TEST(ParameterList, EncodingsAndNul) {
  ParameterList list;
  list.loadBytes("\xEF\xBB\xBFk=\xE4\xB8\xAD");
  EXPECT_EQ(list.lookup("k"), "\xE4\xB8\xAD");
  list.loadBytes(std::string("\xFF\xFEk\0=\0-\x4E\r\0\n\0", 12));
  EXPECT_EQ(list.lookup("k"), "\xE4\xB8\xAD");
  EXPECT_EQ(list.lineCount(), 1u);
  list.loadBytes(std::string("\xFE\xFF\0k\0=\0x", 8));
  EXPECT_EQ(list.lookup("k"), "x");
  list.loadBytes("\xEF\xBB\xBFk=\xFF\xFE" "abc");
  EXPECT_EQ(list.lookup("k"), "\xEF\xBF\xBD\xEF\xBF\xBD" "abc");  // repaired, never invalid
  list.loadBytes(std::string("a=1\r\nb=2\0c=3", 12));
  EXPECT_EQ(list.lineCount(), 2u);
  EXPECT_EQ(list.lookup("c"), "");
}

TEST(ParameterList, MissingFileFails) {
  ParameterList list;
  const std::string path = test::joinPath(test::scratchDir(), "none.fennick");
  try {
    list.load(path);
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + path + "\". ", 0), 0u);
  }
}

TEST(ParseInteger, PlatformRules) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"0", 0}, {"7", 7}, {"-5", -5}, {"  +12", 12}, {"$1F", 31}, {"x10", 16}, {"0X1a", 26},
      {"-$10", -16}, {"$FFFFFFFF", -1}, {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"2147483648", std::nullopt}, {"", std::nullopt},
      {"abc", std::nullopt}, {"1 ", std::nullopt}, {"$", std::nullopt}, {"1.0", std::nullopt},
      {"$100000000", std::nullopt}, {"-$80000000", -2147483647 - 1}, {"0x", std::nullopt},
      {"+", std::nullopt}, {"   ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
  EXPECT_EQ(invalidIntegerMessage("abc"), "''abc'' is not a valid integer value");
}

}  // namespace
}  // namespace fennick
