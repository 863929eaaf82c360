// Hex helpers shared by the index key tests.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/value.h"

namespace fennick::jet::test {

inline std::string toHex(const Bytes& bytes) {
  std::string out;
  char buf[4];
  for (auto b : bytes) {
    std::snprintf(buf, sizeof buf, "%02x", b);
    out += buf;
  }
  return out;
}

}  // namespace fennick::jet::test
