// Reads one Jet SQL statement the way the Jet 4 OLE DB provider does and
// returns its tree. Keywords in any case, names bare, in [brackets] or in
// `grave accents`, any blanks, tabs and line breaks between words, an
// optional trailing ";".
//
// The parser knows the target file's format and refuses what that format
// cannot hold (DECIMAL columns and WITH COMPRESSION in a Jet 3 file), so the
// engine receives only trees it can carry out. Every refusal is a SqlError
// whose message names the statement kind and the offending text.
#pragma once

#include <string_view>

#include "jet_sql/statement.h"

namespace fennick::jet::sql {

enum class JetFormat {
  Jet3,  // Access 95/97
  Jet4,  // Access 2000 and later
};

struct ParseOptions {
  JetFormat format = JetFormat::Jet4;
};

// `sql` is UTF-8. Throws SqlError.
Statement parseStatement(std::string_view sql, const ParseOptions& options = {});

}  // namespace fennick::jet::sql
