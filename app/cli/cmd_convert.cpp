// fennick-cli convert.
#include <stdexcept>

#include "commands.h"

namespace fennick::cli {

int runConvert(const Args&) {
  throw std::runtime_error("the convert command is not available in this build yet");
}

}  // namespace fennick::cli
