// The per-row work of appending to a user table, in constant time per row:
// the table's append state found or built once per transaction (the walk
// of its page map happens only then), autonumbers given out, the row
// encoded with its long values stored on LVAL pages, and the row placed on
// the table's last data page or a new one. Relies on row_writer,
// long_value_writer, data_page_writer, usage_map_writer, page_allocator
// and table_definition for reading the definition once.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "database_state.h"

namespace fennick::jet {

// The append state of the named table, built on first use. Throws Error
// when there is no such table or its long-value columns have no page maps.
AppendState& appendStateFor(DatabaseState& db, std::string_view table);

// The stored row for `values`: autonumber columns filled in (the state's
// counter advanced), every check made (the row's own, then `lastChecks`,
// which may throw to refuse it), then the long values that leave the row
// written to their LVAL pages and the row's pointers to them set. Nothing
// changes before the checks pass. The row lives in the state until the
// next call.
const std::vector<std::uint8_t>& prepareRow(DatabaseState& db, AppendState& state, const std::vector<Value>& values,
                                            const std::function<void()>& lastChecks = {});

// Puts the row on the table's last data page, or a new one recorded in
// both of its maps (the full page leaving the free-space map); returns
// where it went.
RowLocation placeRow(DatabaseState& db, AppendState& state, const std::vector<std::uint8_t>& row);

// Writes the state's autonumber into the table definition.
void storeAutoNumber(DatabaseState& db, const AppendState& state);

}  // namespace fennick::jet
