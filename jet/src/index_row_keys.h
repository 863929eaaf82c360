// The key a row gives one index: each indexed column's value through the
// key library (jet/src/keys) in the column's own text sort order. Kept apart
// from the schema types because that library names its column types like
// schema.h does; callers describe the columns with KeyPart.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/value.h"

namespace fennick::jet {

struct KeyPart {
  std::uint8_t typeCode = 0;       // the column's stored type byte
  bool ascending = true;
  int scale = 0;                   // Numeric
  std::uint16_t sortOrder = 0x0409;
  std::size_t valueIndex = 0;      // position of the column's value in a row
  std::string name;                // the column, for messages
};

// `version` 3 or 4. Throws Error naming the column when the value cannot be
// keyed (a type Jet does not index, a sort order not written yet).
void encodeRowKey(int version, std::span<const KeyPart> parts, const std::vector<Value>& row,
                  std::vector<std::uint8_t>& key);

}  // namespace fennick::jet
