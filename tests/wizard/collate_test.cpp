// The list controls' order: alphabetical without regard to case.
#include <gtest/gtest.h>

#include "platform/collate.h"

namespace fennick::platform {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(Collate, IgnoresCaseAndOrdersAlphabetically) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"abc", "ABC", 0},   {"Apple", "banana", -1}, {"b", "A", 1},      {"ab", "abc", -1},
      {"", "", 0},         {"", "a", -1},           {"Émile", "émile", 0}, {"Zed", "apple", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sign(compareTextIgnoreCase(c.a, c.b)), c.expected) << c.a << " / " << c.b;
}

}  // namespace
}  // namespace fennick::platform
