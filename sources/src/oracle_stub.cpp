// Stand-in for the Oracle driver until it is built in: every Oracle service
// gets a clear message instead of a link error.
#include <stdexcept>

#include "sources/oracle.h"

namespace fennick {

std::unique_ptr<SourceDriver> openOracleDriver(const std::vector<std::string>&) {
  throw std::runtime_error("Oracle support is not built in yet");
}

}  // namespace fennick
