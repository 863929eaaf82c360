// Text key bytes (without the column's marker byte) in one of Access's
// General sort orders. Relies on text_sort.h for the per-character codes.
#pragma once

#include <string_view>

#include "core/value.h"
#include "jet_keys/index_key.h"

namespace fennick::jet::keys::detail {

// Appends the ascending encoding of `utf8`; the caller inverts it for a
// descending column. Throws std::runtime_error for text the order cannot
// key (its message names the character).
void appendTextKey(Bytes& out, TextSortOrder order, std::string_view utf8);

}  // namespace fennick::jet::keys::detail
