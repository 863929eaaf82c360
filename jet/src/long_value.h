// Long values (Memo, OLE): the 12-byte field in the row says where the data
// is: right after it (inline), in one row of a long-value page (type 1), or
// in a chain of such rows, each starting with the pointer to the next
// (type 2). Relies on pager.h and data_page.h.
#pragma once

#include <span>

#include "core/value.h"
#include "pager.h"

namespace fennick::jet {

// The whole value. `column` names it for messages. The declared length is
// checked against the file size before anything is allocated.
fennick::Bytes readLongValue(Pager& pager, std::span<const std::uint8_t> field, const std::string& column);

}  // namespace fennick::jet
