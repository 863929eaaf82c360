// Storage of the two program-wide flags.
#include "engine/flags.h"

namespace fennick {

std::atomic<bool> StopRequested{false};
std::atomic<bool> BatchMode{false};

}  // namespace fennick
