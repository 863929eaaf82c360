// How user text is shown inside error messages: in double quotes, cut short
// when long, control characters made visible, so a message stays one
// readable line whatever the statement held.
#pragma once

#include <string>
#include <string_view>

namespace fennick::jet::sql {

// `"text"`; more than 60 characters end in "...".
std::string quoted(std::string_view text);

}  // namespace fennick::jet::sql
