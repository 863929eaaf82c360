// Storing Memo and OLE values outside their row: on one long-value row
// ("type 1") or as a chain of rows over LVAL pages ("type 2"), and the
// 12-byte field the row keeps (length and kind, then the row pointer). LVAL
// pages are data pages whose owner field reads "LVAL"; each long-value
// column records its pages in its own used / free-space map pair. Relies on
// data_page_writer, usage_map_writer and page_allocator.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pager.h"

namespace fennick::jet {

// A long-value column's map pair (row pointers) and the LVAL page its small
// values currently go to, while it has room.
struct LongValueColumn {
  std::uint16_t columnNumber = 0;
  std::uint32_t usedMap = 0;
  std::uint32_t freeMap = 0;
  std::optional<std::uint32_t> openPage;
};

inline constexpr std::size_t kLongValueFieldSize = 12;
using LongValueField = std::array<std::uint8_t, kLongValueFieldSize>;

// The field of a value stored inline in the row; the data follows it there.
LongValueField inlineLongValueField(std::size_t length);
// The field of a value stored out of row, its pointer still zero.
LongValueField outOfRowLongValueField(const Format& format, std::size_t length);
// Where the row pointer lives in the field.
inline constexpr std::size_t kLongValuePointerOffset = 4;

// Stores `data` (not empty) out of row on the column's LVAL pages and
// returns the row pointer its field must hold. `owner` names the column in
// messages.
std::uint32_t storeLongValue(Pager& pager, LongValueColumn& column, std::span<const std::uint8_t> data,
                             const std::string& owner);

}  // namespace fennick::jet
