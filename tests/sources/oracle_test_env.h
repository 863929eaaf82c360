// Choosing the Oracle client library a test loads (FENNICK_OCI_LIBRARY).
#pragma once

#include <cstdlib>
#include <string>

namespace fennick::test {

inline void useOracleClientLibrary(const std::string& fileName) {
#ifdef _WIN32
  _putenv_s("FENNICK_OCI_LIBRARY", fileName.c_str());
#else
  setenv("FENNICK_OCI_LIBRARY", fileName.c_str(), 1);
#endif
}

}  // namespace fennick::test
