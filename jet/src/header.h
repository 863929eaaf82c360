// Page 0, the database definition page: tells the format apart, removes the
// RC4 mask from its scrambled block and reads the database-wide settings.
// Relies on format.h and bytes.h.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/value.h"
#include "format.h"

namespace fennick::jet {

struct Header {
  const Format* format = nullptr;
  std::uint16_t codePage = 0;
  std::uint16_t collation = 0;
  std::uint16_t collationVersion = 0;
  std::uint32_t databaseKey = 0;  // non-zero: the pages themselves are encrypted
  std::optional<fennick::DateTime> created;
};

// The format named by the version byte of a file's first bytes; throws Error
// naming the file for anything that is not a Jet 3 or Jet 4 database.
const Format& detectFormat(std::span<const std::uint8_t> firstBytes, const std::string& path);

// Parses page 0 (at least Format::pageSize bytes of it).
Header parseHeader(std::span<const std::uint8_t> page0, const std::string& path);

// Applies (or removes: it is symmetric) the fixed RC4 mask over page 0's
// scrambled block in place.
void toggleHeaderMask(std::span<std::uint8_t> page0, const Format& format);

}  // namespace fennick::jet
