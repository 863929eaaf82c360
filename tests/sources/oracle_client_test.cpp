// The Oracle driver without a usable client library: the user learns what
// is missing and how to get it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "oracle_test_env.h"
#include "sources/oracle.h"
#include "test_support.h"

namespace fennick {
namespace {

TEST(OracleClient, MissingLibrarySaysWhatToInstall) {
  const std::string missing = test::joinPath(test::scratchDir(), "no-such-oracle-client.lib");
  test::useOracleClientLibrary(missing);
  try {
    openOracleDriver(connectionParams("ORCL", "SCOTT", "tiger"));
    FAIL() << "connected without a client library";
  } catch (const std::runtime_error& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("The Oracle client library " + missing + " could not be loaded ("), std::string::npos)
        << message;
    EXPECT_NE(message.find("Install Oracle Instant Client"), std::string::npos) << message;
#ifdef _WIN32
    EXPECT_NE(message.find("on PATH"), std::string::npos) << message;
#else
    EXPECT_NE(message.find("on LD_LIBRARY_PATH"), std::string::npos) << message;
#endif
    // The system's reason sits between the parentheses.
    std::size_t open = message.find('(');
    EXPECT_GT(message.find(')', open) - open, 5u) << message;
  }
}

}  // namespace
}  // namespace fennick
