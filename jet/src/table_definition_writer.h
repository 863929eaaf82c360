// The definition page of a new user table (jet/docs/writing.md 5.3): header,
// column records in column-number order, names, no indexes, the end mark.
// Relies on format.h and the schema types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format.h"
#include "jet/database.h"

namespace fennick::jet {

// Where each column of a new table goes: numbers, variable indexes, fixed
// offsets and stored lengths. Throws Error naming the table and column for
// names, types or lengths Jet does not allow or this writer does not store.
TableDefinition layOutNewTable(const Format& format, const std::string& table, const std::vector<NewColumn>& columns);

// The page image; `codePage` is stored in Jet 3 text columns. Throws Error
// when the definition does not fit one page.
std::vector<std::uint8_t> encodeTableDefinition(const Format& format, const TableDefinition& def,
                                                std::uint16_t codePage);

}  // namespace fennick::jet
