// The Oracle source driver: queries run through the Oracle client library
// (OCI), loaded at run time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sources/source.h"

namespace fennick {

// Connects with the connection's parameter lines ("Database=" service,
// "User_Name=", "Password=", ...). Throws when the client library is missing
// or Oracle refuses the connection, with Oracle's message.
std::unique_ptr<SourceDriver> openOracleDriver(const std::vector<std::string>& params);

}  // namespace fennick
