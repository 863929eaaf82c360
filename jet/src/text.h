// Text as Jet stores it, to and from UTF-8: Jet 4's UCS-2 and its compressed
// form (marked by FF FE, one byte per character while the high byte is 0,
// a 0 byte switching modes), and Jet 3's single code page. Relies on
// core/utf.h and platform/codepage.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "format.h"

namespace fennick::jet {

struct TextCodec {
  const Format* format;
  unsigned codePage;  // Jet 3 text

  std::string decode(std::span<const std::uint8_t> stored) const;
};

// Jet 4 text (plain or compressed UCS-2) to UTF-8. An odd trailing byte is
// ignored.
std::string decodeUcs2Text(std::span<const std::uint8_t> stored);

}  // namespace fennick::jet
