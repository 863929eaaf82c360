// Names of the column types, as Access shows them.
#include "jet_sql/statement.h"

namespace fennick::jet::sql {

const char* columnTypeName(ColumnType type) {
  switch (type) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "DateTime";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::OleObject: return "OleObject";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Guid";
    case ColumnType::Decimal: return "Decimal";
  }
  return "Unknown";
}

}  // namespace fennick::jet::sql
