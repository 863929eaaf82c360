// The rows of an empty database's catalogue: MSysObjects (the containers,
// MSysDb and the four system tables) and MSysACEs (their permissions), laid
// out as Jet rows, and the catalogue index entries pointing at them.
// Relies on system_tables.h for the columns and on jet/src/keys for the keys.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "system_tables.h"

namespace fennick::templates {

using Field = std::optional<std::vector<std::uint8_t>>;  // nullopt: NULL

// One row of `table`: `fields` by column number (a Boolean's field is one
// byte, 0 or 1: its value goes into the null mask). Throws
// std::length_error if the row is too long for the compact layout used here.
std::vector<std::uint8_t> encodeRow(const jet::Format& format, const SystemTable& table,
                                    const std::vector<Field>& fields);

struct CatalogRows {
  std::vector<std::vector<std::uint8_t>> objects;  // MSysObjects rows, row-number order
  std::vector<std::vector<std::uint8_t>> aces;     // MSysACEs rows
  // Index entries (key and data pointer) per table name and index position.
  std::vector<std::vector<std::uint8_t>> parentIdNameEntries, idEntries, objectIdEntries;
};

// `tables` as systemTables() gives them.
CatalogRows catalogRows(const jet::Format& format, const std::vector<SystemTable>& tables);

}  // namespace fennick::templates
