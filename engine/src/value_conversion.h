// Converting a source value into what a Jet column stores, the way the Jet
// OLE DB provider coerces a value set on a rowset field.
//
// The result is a Value in the same form the Jet reader returns for that
// column type, so a row that is written and read back compares equal:
//   Boolean            Boolean
//   Byte/Integer/Long  Integer, within the column's range
//   Currency           Decimal text with exactly four decimals ("12.3400")
//   Numeric(p,s)       Decimal text with exactly s decimals, at most p digits
//   Single             Double holding a float's value
//   Double             Double (finite)
//   DateTime           DateTime in the years 100-9999
//   Text(n), Memo      Text (Text: at most n UTF-16 units)
//   Binary(n), OLE     Bytes (Binary: at most n bytes)
//   GUID               Text "{XXXXXXXX-XXXX-XXXX-XXXXXXXXXXXXXXXX}"
// Null stays Null for every type; whether the column takes it is the row's
// concern when it is posted. Relies on core/value.h and jet/schema.h.
#pragma once

#include "core/value.h"
#include "jet/schema.h"

namespace fennick {

// Throws std::runtime_error naming the column when the value cannot be
// converted ("Data type mismatch in field 'X' ..."), lies outside the
// column's range, or is longer than the column holds.
Value convertForColumn(const jet::Column& column, const Value& value);

}  // namespace fennick
