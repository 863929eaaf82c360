// fennick-cli inspect.
#include <stdexcept>

#include "commands.h"

namespace fennick::cli {

int runInspect(const Args&) {
  throw std::runtime_error("the inspect command is not available in this build yet");
}

}  // namespace fennick::cli
