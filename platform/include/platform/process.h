// The running program itself.
#pragma once

#include <string>

namespace fennick::platform {

// The full path of the running program file (GetModuleFileNameW,
// /proc/self/exe).
std::string programPath();
// Its folder, ending with the system's separator.
std::string programFolder();
// The name this computer goes by on the network (GetComputerNameW,
// gethostname), empty when the system gives none.
std::string computerName();

}  // namespace fennick::platform
