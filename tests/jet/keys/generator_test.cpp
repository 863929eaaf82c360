// The committed collation tables are exactly what the generator writes from
// the reference lists: running it again gives the same bytes. Needs Python,
// so it runs in the native build only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "test_support.h"

namespace {

#ifndef _WIN32
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
#endif

TEST(CollationGenerator, RegeneratesTheCommittedTables) {
#ifdef _WIN32
  GTEST_SKIP() << "the generator runs on the build host only";
#else
  if (std::system("python3 -c pass >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not available";
  std::string out = fennick::test::joinPath(fennick::test::scratchDir(), "collation_tables.cpp");
  std::string command = "python3 '" + fennick::test::sourcePath("tools/collation/gen_jet_collation.py") + "' '" +
                        fennick::test::sharedPath("reference/jet-collation") + "' '" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::string committed = slurp(fennick::test::sourcePath("jet/src/keys/src/collation_tables.cpp"));
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(slurp(out) == committed) << "regenerate jet/src/keys/src/collation_tables.cpp";
#endif
}

}  // namespace
