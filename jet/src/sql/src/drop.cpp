// DROP TABLE name and DROP INDEX name ON table.
#include "grammar.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

constexpr std::string_view kDropContext = "Syntax error in DROP TABLE or DROP INDEX";

}  // namespace

Statement parseDrop(Cursor& cursor) {
  if (cursor.acceptWord("TABLE")) return DropTable{readName(cursor, "Table", kDropContext)};
  if (cursor.acceptWord("INDEX")) {
    DropIndex drop;
    drop.index = readName(cursor, "Index", kDropContext);
    cursor.expectWord("ON", kDropContext);
    drop.table = readName(cursor, "Table", kDropContext);
    return drop;
  }
  for (const std::string_view other : {"VIEW", "PROCEDURE", "USER", "GROUP"}) {
    if (cursor.atWord(other)) notSupported("DROP " + std::string(other) + " statements are not supported.");
  }
  cursor.syntaxError(kDropContext);
}

}  // namespace fennick::jet::sql
