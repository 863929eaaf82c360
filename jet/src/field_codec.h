// What a field's bytes mean: each Jet type to a fennick::Value (Currency and
// Numeric as exact Decimal text, DateTime from the OLE date, GUID as
// "{XXXXXXXX-XXXX-XXXX-XXXXXXXXXXXXXXXX}" as mdbtools prints it, Text/Memo as UTF-8, Binary/OLE as
// bytes). Relies on text.h and long_value.h.
#pragma once

#include <span>

#include "core/value.h"
#include "jet/schema.h"
#include "pager.h"
#include "text.h"

namespace fennick::jet {

fennick::Value decodeField(const Column& column, std::span<const std::uint8_t> bytes, Pager& pager,
                           const TextCodec& text);

// Exposed for tests: the decimal text of a scaled integer.
std::string currencyText(std::int64_t tenThousandths);
std::string guidText(std::span<const std::uint8_t, 16> bytes);

}  // namespace fennick::jet
