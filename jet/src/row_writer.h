// Building a stored row from values: each field encoded by its column type,
// then the row layout the reader's row_layout splits (column count, fixed
// area, variable data, the variable-offset table read backwards from the
// end, null mask; Booleans live in the null mask). Relies on format.h, the
// schema types and platform/codepage.h for Jet 3 text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/value.h"
#include "format.h"
#include "jet/schema.h"

namespace fennick::jet {

// `values` one per column of `def`, in its column order. Throws Error naming
// the table and column when a value does not fit its column, or the type is
// one this writer does not store yet (Memo, OLE, Currency, Numeric, GUID).
std::vector<std::uint8_t> encodeRow(const Format& format, const TableDefinition& def,
                                    const std::vector<Value>& values, unsigned codePage);

}  // namespace fennick::jet
