// fennick-cli tables.
#include <stdexcept>

#include "commands.h"

namespace fennick::cli {

int runTables(const Args&) {
  throw std::runtime_error("the tables command is not available in this build yet");
}

}  // namespace fennick::cli
