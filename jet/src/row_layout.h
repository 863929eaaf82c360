// Splits one stored row into its fields: the null mask, the fixed-length
// area, the variable-length offset table (Jet 3's one-byte offsets with
// their jump table, Jet 4's two-byte ones). Relies on format.h, bytes.h and
// the schema types; knows nothing about what the field bytes mean.
#pragma once

#include <span>
#include <vector>

#include "jet/schema.h"
#include "format.h"

namespace fennick::jet {

struct FieldSlice {
  std::uint32_t offset = 0;  // within the row
  std::uint32_t length = 0;
  bool isNull = true;        // Boolean columns: false = the value is true
};

// Where a row is, for messages (formatted only when something is wrong).
struct RowPlace {
  const std::string& path;
  const std::string& table;
  std::uint32_t page;
  std::uint16_t row;
};

// Fills `fields` with one slice per column of `def` (in its column order).
// Columns added after the row was written come out as null. Throws the
// damaged-file error naming the row when its own tables are broken.
void splitRow(const Format& format, const TableDefinition& def, std::span<const std::uint8_t> row,
              std::vector<FieldSlice>& fields, const RowPlace& place);

}  // namespace fennick::jet
