// The rules Jet applies to the names of tables, fields, indexes and
// constraints. Shared by the parser and the engine (which also names objects
// it creates itself).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fennick::jet::sql {

// Jet counts name lengths in UTF-16 code units.
inline constexpr std::size_t kMaxObjectNameLength = 64;

// Why Jet would refuse `name` (UTF-8), as a phrase that completes
// "... is not valid: ", e.g. `it contains "."`; nothing when Jet accepts it.
std::optional<std::string> objectNameProblem(std::string_view name);

// Whether two names denote the same object: Jet compares names without
// regard to case. Folds the case of Latin, Greek and Cyrillic letters.
bool sameObjectName(std::string_view a, std::string_view b);

// Throws SqlError (Kind::Invalid) when Jet would refuse the name. `what` says
// what the name names, capitalised: "Table", "Field", "Index", "Constraint".
void validateObjectName(std::string_view name, std::string_view what);

}  // namespace fennick::jet::sql
