// The key bytes of the catalogue's index entries (MSysObjects ParentIdName
// and Id, MSysACEs ObjectId), from jet/src/keys. Kept apart because that
// library names its column types like schema.h does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/value.h"

namespace fennick::jet {

// `version` 3 or 4; General sort order, as the engine's catalogue uses.
std::vector<std::uint8_t> catalogIdKey(int version, std::int32_t id);
std::vector<std::uint8_t> catalogParentIdNameKey(int version, std::int32_t parentId, const std::string& nameUtf8);

// Appends one ascending key part for a value of a column with the stored
// type byte `typeCode` and text sort order `sortOrder` (0 = General).
void appendColumnKeyPart(std::vector<std::uint8_t>& key, int version, std::uint8_t typeCode, std::uint16_t sortOrder,
                         int scale, const std::string& columnName, const Value& value);

}  // namespace fennick::jet
