// Building a stored row from values: each field encoded by its column type,
// then the row layout the reader's row_layout splits (column count, fixed
// area, variable data, the variable-offset table read backwards from the
// end with Jet 3's jump table once a row passes 255 bytes, null mask;
// Booleans live in the null mask). Memo and OLE values stay inline when
// small, else the row holds a 12-byte field whose row pointer the caller
// fills in once long_value_writer has stored the data. Relies on format.h,
// long_value_writer's field layout, the schema types and
// platform/codepage.h for Jet 3 text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/value.h"
#include "format.h"
#include "jet/schema.h"

namespace fennick::jet {

// Memo / OLE data up to this many bytes stays in its row (when the row has
// room); Access files show inline values of this size and never larger ones.
inline constexpr std::size_t kInlineLongValueLimit = 64;

// A long value the row does not hold: its bytes, its column and where in
// the row its field's row pointer goes.
struct OutOfRowValue {
  std::size_t columnIndex = 0;  // in TableDefinition::columns
  std::size_t pointerOffset = 0;
  std::vector<std::uint8_t> data;
};

// `values` one per column of `def`, in its column order. Throws Error naming
// the table and column when a value does not fit its column, and naming the
// table when the row cannot fit one page even with its long values stored
// outside it. Long values that must leave the row go to `outOfRow`; without
// it, such a row is refused.
std::vector<std::uint8_t> encodeRow(const Format& format, const TableDefinition& def,
                                    const std::vector<Value>& values, unsigned codePage,
                                    std::vector<OutOfRowValue>* outOfRow = nullptr);

// Buffers encodeRow reuses from row to row (an append state keeps one), so
// that encoding a row allocates nothing once they have grown.
struct RowBuffers {
  std::vector<std::uint8_t> data;     // the variable fields' bytes, one after another
  std::vector<std::size_t> bounds;    // per variable field: start and end in `data`
  std::vector<std::uint8_t> kinds;    // per variable field: absent, plain, long in or out of row
  std::vector<std::size_t> columns;   // per variable field: its column index
  std::vector<std::size_t> starts;    // per variable field: its offset in the row
  std::vector<std::uint8_t> field;    // one field being encoded
  std::vector<std::uint8_t> nullMask;
};

// As above, into `row`, with `buffers` reused.
void encodeRow(const Format& format, const TableDefinition& def, const std::vector<Value>& values,
               unsigned codePage, std::vector<OutOfRowValue>* outOfRow, RowBuffers& buffers,
               std::vector<std::uint8_t>& row);

// The largest row a data page holds.
std::size_t maxRowSize(const Format& format);

}  // namespace fennick::jet
