// Row splitting for both layouts.
#include "row_layout.h"

#include <array>

#include "bytes.h"

namespace fennick::jet {
namespace {

// Offsets of the variable-length area: entry k starts field k, the last
// entry (index varCount) is the end of the data.
struct VarTable {
  std::array<std::uint32_t, 257> offsets;  // rows of up to 256 variable fields
  std::vector<std::uint32_t> large;        // only a damaged or unusual row needs more
  std::uint32_t count = 0;                 // number of variable fields
  std::uint32_t* prepare(std::uint32_t entries) {
    if (entries <= offsets.size()) return offsets.data();
    large.resize(entries);
    return large.data();
  }
  std::uint32_t at(std::uint32_t k) const { return large.empty() ? offsets[k] : large[k]; }
};

// Jet 3: one-byte offsets; every jump entry at or before an index adds 256.
bool readJet3Offsets(std::span<const std::uint8_t> row, std::size_t trailer, std::uint32_t varCount,
                     std::uint32_t jumps, VarTable& out) {
  // Layout from the end: null mask, var_len, jump table, offsets, eod.
  if (trailer + 1 + jumps + varCount + 1 > row.size()) return false;
  const std::size_t jumpEnd = row.size() - trailer - 1;  // one past the first jump entry
  const std::size_t offsetsEnd = jumpEnd - jumps;
  std::uint32_t previous = 0;
  for (std::uint32_t k = 0; k <= varCount; ++k) {
    std::uint32_t value = row[offsetsEnd - 1 - k];
    for (std::uint32_t j = 0; j < jumps; ++j)
      if (row[jumpEnd - 1 - j] <= k) value += 256;
    if (value < previous || value > offsetsEnd - varCount - 1) return false;
    out.offsets[k] = previous = value;
  }
  out.count = varCount;
  return true;
}

}  // namespace

void splitRow(const Format& f, const TableDefinition& def, std::span<const std::uint8_t> row,
              std::vector<FieldSlice>& fields, const RowPlace& place) {
  auto damaged = [&](const std::string& what) -> void {
    throwDamaged(place.path, "row " + std::to_string(place.row) + " of page " + std::to_string(place.page) +
                                 " in table \"" + place.table + "\" " + what);
  };
  fields.assign(def.columns.size(), FieldSlice{});
  const std::size_t countSize = f.rowColumnCountSize;
  if (row.size() < countSize + 1) damaged("is too short to be a row");
  const std::uint32_t rowColumns = countSize == 1 ? row[0] : loadU16(row.data());
  const std::size_t maskSize = (rowColumns + 7) / 8;
  if (countSize + maskSize > row.size()) damaged("has a null mask longer than the row");
  const std::uint8_t* mask = row.data() + row.size() - maskSize;
  std::size_t dataEnd = row.size() - maskSize;  // where fixed data must stop

  VarTable var;
  if (def.variableColumns > 0) {
    if (dataEnd < countSize + countSize) damaged("has no room for its variable-length table");
    const std::uint32_t varCount = countSize == 1 ? row[dataEnd - 1] : loadU16(row.data() + dataEnd - 2);
    if (f.rowJumpTable) {
      const std::uint32_t guess = static_cast<std::uint32_t>((row.size() - 1) / 256);
      bool ok = readJet3Offsets(row, maskSize, varCount, guess, var);
      if (!ok && guess > 0) ok = readJet3Offsets(row, maskSize, varCount, guess - 1, var);
      if (!ok) damaged("has a broken variable-length offset table");
    } else {
      const std::size_t tableBytes = 2u * (varCount + 1);
      if (tableBytes + 2 > dataEnd - countSize) damaged("has a variable-length table longer than the row");
      const std::size_t offsetsEnd = dataEnd - 2;
      std::uint32_t* offsets = var.prepare(varCount + 1);
      std::uint32_t previous = 0;
      for (std::uint32_t k = 0; k <= varCount; ++k) {
        const std::uint32_t value = loadU16(row.data() + offsetsEnd - 2 * (k + 1));
        if (value < previous || value > offsetsEnd - tableBytes)
          damaged("has a variable-length field offset (" + std::to_string(value) + ") outside the row");
        offsets[k] = previous = value;
      }
      var.count = varCount;
    }
    dataEnd = var.at(0);
  }

  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const Column& c = def.columns[i];
    FieldSlice& out = fields[i];
    const bool inRow = c.number < rowColumns;
    const bool bitSet = inRow && ((mask[c.number / 8] >> (c.number % 8)) & 1);
    if (c.type == ColumnType::Boolean) {
      out.isNull = !bitSet;
      continue;
    }
    if (!bitSet) continue;
    if (c.fixed) {
      const std::size_t start = countSize + c.fixedOffset;
      if (start + c.length > dataEnd)
        damaged("has its fixed-length field \"" + c.name + "\" past the end of its data");
      out = FieldSlice{static_cast<std::uint32_t>(start), c.length, false};
    } else {
      if (c.varIndex >= var.count) continue;  // added after the row was written
      const std::uint32_t start = var.at(c.varIndex), end = var.at(c.varIndex + 1);
      out = FieldSlice{start, end - start, false};
    }
  }
}

}  // namespace fennick::jet
