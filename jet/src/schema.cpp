// Names of column types and lookups on the schema types.
#include "jet/schema.h"

#include "core/utf.h"

namespace fennick::jet {

const char* columnTypeName(ColumnType type) {
  switch (type) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long Integer";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "DateTime";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::Ole: return "OLE";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Replication ID";
    case ColumnType::Numeric: return "Numeric";
    case ColumnType::Unsupported: break;
  }
  return "Unsupported";
}

const Column* TableDefinition::findColumn(std::string_view wanted) const {
  for (const auto& c : columns)
    if (fennick::equalsIgnoreAsciiCase(c.name, wanted)) return &c;
  return nullptr;
}

}  // namespace fennick::jet
