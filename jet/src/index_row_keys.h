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

// One real index as appends keep it: its key columns and how messages name it.
struct MaintainedIndex {
  std::size_t realIndex = 0;  // position in TableDefinition::realIndexes
  std::vector<KeyPart> parts;
  std::string name;           // a logical index using it (the primary key first)
  std::string what;           // "index \"Name\" of table \"T\"", for messages
};

// The keys one row gives its table's maintained indexes.
struct RowKeys {
  std::vector<std::vector<std::uint8_t>> keys;  // per maintained index
  std::vector<bool> entered;                    // false: the row stays out of that index
  std::vector<bool> uniqueKey;                  // a unique index's key without NULLs
  std::vector<std::uint64_t> hashes;            // a unique key's look-up hash
};

// `version` 3 or 4. Throws Error naming the column when the value cannot be
// keyed (a type Jet does not index, a sort order not written yet).
void encodeRowKey(int version, std::span<const KeyPart> parts, const std::vector<Value>& row,
                  std::vector<std::uint8_t>& key);

}  // namespace fennick::jet
