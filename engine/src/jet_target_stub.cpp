// Placeholder opener until the Jet engine's target adapter is built in.
#include <stdexcept>

#include "engine/target.h"

namespace fennick {

TargetOpener jetTargetOpener() {
  return [](const std::string&) -> std::unique_ptr<TargetDatabase> {
    throw std::runtime_error("The Access database engine is not available in this build yet");
  };
}

}  // namespace fennick
