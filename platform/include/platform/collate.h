// Text order as the user's list controls sort: alphabetical, without regard
// to letter case.
//
// Windows: CompareStringW with the user's default locale and
// NORM_IGNORECASE, the comparison a sorted list box makes. Elsewhere the
// code points are compared after folding letter case.
#pragma once

#include <string_view>

namespace fennick::platform {

// Negative when a sorts before b, zero when they are equal ignoring case,
// positive when a sorts after b. Both texts are UTF-8.
int compareTextIgnoreCase(std::string_view a, std::string_view b);

}  // namespace fennick::platform
