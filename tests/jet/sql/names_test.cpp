// Jet's naming rules, as the engine calls them for names it makes itself.
#include <gtest/gtest.h>

#include <string>

#include "jet_sql/error.h"
#include "jet_sql/names.h"

namespace fennick::jet::sql {
namespace {

TEST(JetSqlNames, LengthCountsUtf16UnitsNotBytes) {
  std::string e64, e65, emoji32, emoji33;
  for (int i = 0; i < 64; ++i) e64 += "\xC3\xA9";  // é: 2 bytes, 1 unit
  e65 = e64 + "\xC3\xA9";
  for (int i = 0; i < 32; ++i) emoji32 += "\xF0\x9F\x98\x80";  // 4 bytes, 2 units
  emoji33 = emoji32 + "\xF0\x9F\x98\x80";
  EXPECT_EQ(objectNameProblem(e64), std::nullopt);
  EXPECT_EQ(objectNameProblem(emoji32), std::nullopt);
  EXPECT_EQ(objectNameProblem(e65), "it is 65 characters long and Jet allows at most 64");
  EXPECT_EQ(objectNameProblem(emoji33), "it is 66 characters long and Jet allows at most 64");
}

TEST(JetSqlNames, AcceptsWhatAccessAccepts) {
  for (const char* name : {"EMP", "Order Details", "a-b", "x ", "Nº 1", "$#%&'()*+,/:;<=>?@^_{|}~"}) {
    EXPECT_EQ(objectNameProblem(name), std::nullopt) << name;
  }
}

TEST(JetSqlNames, SameNameIgnoresCaseInEveryAlphabetNamesUse) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Emp_Name", "EMP_NAME", true},
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89", true},         // Été / éTÉ
      {"\xC3\x97", "\xC3\xB7", false},                             // × is no letter; ÷ neither
      {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x82\xC3\x93" "D\xC5\xB9", true},  // Łódź / łÓDŹ
      {"\xC5\xB8", "\xC3\xBF", true},                               // Ÿ / ÿ
      {"\xCE\xA3\xCE\xB9", "\xCF\x83\xCE\x99", true},             // Σι / σΙ
      {"\xD0\x81\xD0\x96", "\xD1\x91\xD0\xB6", true},             // ЁЖ / ёж
      {"\xC4\xB0", "i", false},                                      // İ stays apart
      {"name", "names", false},
      {"a b", "ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sameObjectName(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(sameObjectName(c.b, c.a), c.same) << c.b << " / " << c.a;
  }
}

TEST(JetSqlNames, ValidateNamesWhatItChecks) {
  try {
    validateObjectName("a\x7f]", "Index");
    FAIL() << "accepted";
  } catch (const SqlError& e) {
    EXPECT_STREQ(e.what(), "Index name \"a\\x7F]\" is not valid: it contains \"]\".");
    EXPECT_EQ(e.kind(), SqlError::Kind::Invalid);
  }
  EXPECT_THROW(validateObjectName("\xC3", "Table"), SqlError);  // not UTF-8
}

}  // namespace
}  // namespace fennick::jet::sql
