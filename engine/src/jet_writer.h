// The Jet engine's writing half behind the target adapter: the statements
// and rows the conversion sends, carried out on the open database.
#pragma once

#include <memory>

#include "jet_target.h"

namespace fennick {

// The writer over our own engine; nothing for a file opened read-only.
std::unique_ptr<JetWriter> makeEngineWriter(jet::Database& database, bool readOnly);

}  // namespace fennick
