// Catalogue keys through the index key library.
#include "catalog_keys.h"

#include "jet_keys/index_key.h"

namespace fennick::jet {
namespace {

JetFormat keyFormat(int version) { return version == 4 ? JetFormat::Jet4 : JetFormat::Jet3; }

}  // namespace

std::vector<std::uint8_t> catalogIdKey(int version, std::int32_t id) {
  const KeyColumn column{ColumnType::Long, true, 0, "Id"};
  const Value value[] = {Value::integer(id)};
  return encodeIndexKey(keyFormat(version), textSortOrderFor(keyFormat(version), 0x0409), std::span(&column, 1), value);
}

std::vector<std::uint8_t> catalogParentIdNameKey(int version, std::int32_t parentId, const std::string& nameUtf8) {
  const KeyColumn columns[] = {{ColumnType::Long, true, 0, "ParentId"}, {ColumnType::Text, true, 0, "Name"}};
  const Value values[] = {Value::integer(parentId), Value::text(nameUtf8)};
  return encodeIndexKey(keyFormat(version), textSortOrderFor(keyFormat(version), 0x0409), columns, values);
}

void appendColumnKeyPart(std::vector<std::uint8_t>& key, int version, std::uint8_t typeCode, std::uint16_t sortOrder,
                         int scale, const std::string& columnName, const Value& value) {
  const KeyColumn column{static_cast<ColumnType>(typeCode), true, scale, columnName};
  appendKeyPart(key, keyFormat(version), textSortOrderFor(keyFormat(version), sortOrder ? sortOrder : 0x0409), column,
                value);
}

}  // namespace fennick::jet
