// The Oracle driver's entry point. The driver itself reaches the server
// through the Oracle client library, loaded at run time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sources/source.h"

namespace fennick {

// Connects with the connection's parameter list ("Database=", "User_Name=",
// "Password=", ...); throws with the client library's message.
std::unique_ptr<SourceDriver> openOracleDriver(const std::vector<std::string>& params);

}  // namespace fennick
