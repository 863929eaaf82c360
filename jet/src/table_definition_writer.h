// The definition of a new user table (jet/docs/writing.md 5.3): header,
// column records in column-number order, names, no indexes, the Memo / OLE
// columns' map pairs, the end mark; spread over continuation pages when it
// outgrows one. Relies on format.h, the schema types and the SQL layer's
// name rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format.h"
#include "jet/database.h"

namespace fennick::jet {

// Where each column of a new table goes: numbers, variable indexes, fixed
// offsets, stored lengths and flags. Throws Error naming the table and
// column for names, types or lengths Jet does not allow.
TableDefinition layOutNewTable(const Format& format, const std::string& table, const std::vector<NewColumn>& columns);

// The definition's bytes as the reader assembles them (first page whole,
// then each continuation page's bytes after its header), unpadded; `codePage`
// is stored in Jet 3 text columns.
std::vector<std::uint8_t> encodeTableDefinition(const Format& format, const TableDefinition& def,
                                                std::uint16_t codePage);

// A name as definitions store it: a length, then UCS-2 (Jet 4) or the code
// page's bytes (Jet 3; a name the code page cannot hold throws Error).
void appendName(const Format& format, std::vector<std::uint8_t>& out, const std::string& name, unsigned codePage);

// How many pages the definition needs.
std::size_t definitionPageCount(const Format& format, std::size_t definitionBytes);

// The page images holding `definition` on `pages` (as many as
// definitionPageCount says), each linked to the next.
std::vector<std::vector<std::uint8_t>> definitionPages(const Format& format, const std::vector<std::uint8_t>& definition,
                                                       const std::vector<std::uint32_t>& pages);

}  // namespace fennick::jet
