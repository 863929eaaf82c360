// CREATE [UNIQUE] INDEX name ON table (field [ASC|DESC], ...)
//   [WITH PRIMARY | DISALLOW NULL | IGNORE NULL ...]
// Several WITH options may follow one WITH, each once.
#include "grammar.h"
#include "jet_sql/names.h"
#include "quoting.h"

namespace fennick::jet::sql {
namespace {

constexpr std::string_view kIndexContext = "Syntax error in CREATE INDEX statement";
constexpr std::size_t kMaxIndexFields = 10;

void readWithOptions(Cursor& cursor, CreateIndex& index) {
  bool readAny = false;
  while (true) {
    bool* option = nullptr;
    std::string_view words;
    if (cursor.acceptWord("PRIMARY")) {
      option = &index.primary;
      words = "PRIMARY";
    } else if (cursor.acceptWord("DISALLOW")) {
      cursor.expectWord("NULL", kIndexContext);
      option = &index.disallowNull;
      words = "DISALLOW NULL";
    } else if (cursor.acceptWord("IGNORE")) {
      cursor.expectWord("NULL", kIndexContext);
      option = &index.ignoreNull;
      words = "IGNORE NULL";
    } else {
      break;
    }
    if (*option) invalid("Index " + quoted(index.index) + " names WITH " + std::string(words) + " twice.");
    *option = readAny = true;
  }
  if (!readAny) cursor.syntaxError(kIndexContext);
  if (index.primary && index.ignoreNull) {
    invalid("Index " + quoted(index.index) +
            " cannot be both WITH PRIMARY and IGNORE NULL: a primary key holds no Null values.");
  }
}

}  // namespace

CreateIndex parseCreateIndex(Cursor& cursor) {
  CreateIndex index;
  index.unique = cursor.acceptWord("UNIQUE");
  cursor.expectWord("INDEX", kIndexContext);
  index.index = readName(cursor, "Index", kIndexContext);
  cursor.expectWord("ON", kIndexContext);
  index.table = readName(cursor, "Table", kIndexContext);
  cursor.expectSymbol('(', kIndexContext);
  do {
    if (index.columns.size() == kMaxIndexFields) {
      invalid("Index " + quoted(index.index) + " names more than 10 fields; Jet allows at most 10.");
    }
    IndexColumn column;
    column.name = readName(cursor, "Field", kIndexContext);
    for (const IndexColumn& earlier : index.columns) {
      if (sameObjectName(earlier.name, column.name))
        invalid("Index " + quoted(index.index) + " names field " + quoted(column.name) + " twice.");
    }
    if (cursor.acceptWord("DESC")) {
      column.descending = true;
    } else {
      cursor.acceptWord("ASC");
    }
    index.columns.push_back(std::move(column));
  } while (cursor.acceptSymbol(','));
  cursor.expectSymbol(')', kIndexContext);
  if (cursor.acceptWord("WITH")) readWithOptions(cursor, index);
  if (index.primary) index.unique = true;
  return index;
}

}  // namespace fennick::jet::sql
