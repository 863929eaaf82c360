// createindexes: one "create index" statement per source index.
//
// Table and column names are bracketed in both statement forms, and column
// names are cut as the table definition cut them, so that indexes on names
// with blanks or reserved words (DATE, LEVEL, ORDER) are not lost.
#include <cstdlib>

#include "core/utf.h"
#include "engine/target.h"
#include "engine/tcc.h"
#include "sources/source.h"

namespace fennick {
namespace {

// The position is compared by value with 1, whatever kind of number (or
// number text) the driver delivers.
bool isFirstColumn(const Value& position) {
  switch (position.kind()) {
    case Value::Kind::Integer: return position.asInteger() == 1;
    case Value::Kind::Double: return position.asDouble() == 1.0;
    case Value::Kind::Decimal:
    case Value::Kind::Text: {
      const std::string text = position.toDisplayString();
      char* end = nullptr;
      const double value = std::strtod(text.c_str(), &end);
      return end != text.c_str() && value == 1.0;
    }
    default: return false;
  }
}

std::string bracketedColumn(const Value& name) {
  return "[" + cutToUtf16Units(name.toDisplayString(), kMaxNameLength) + "]";
}

}  // namespace

void Tcc::createindexes(const std::string& sourceName, const std::string& targetName) {
  auto rows = source_.query(indexCatalogueQuery(sourceName));
  TargetCommand& command = target_.accesssql();
  const auto run = [&](const std::string& statement) {
    command.setText(statement);
    try {
      command.execute();
    } catch (const std::exception&) {
      // Index conversion is best effort: a refused index is skipped.
    }
  };

  std::string statement;
  int rowCounter = 1;
  while (!rows->eof()) {
    const bool first = isFirstColumn(rows->field("Seq_in_index"));
    if (rowCounter > 1 && first) {
      run(statement + ")");
      statement.clear();
    }
    const Value& uniqueness = rows->field("uniqueness");
    const bool unique = uniqueness.kind() == Value::Kind::Text && uniqueness.asText() == "UNIQUE";
    const std::string column = bracketedColumn(rows->field("Column_name"));
    if (first) {
      statement = std::string(unique ? "create UNIQUE index [" : "create index [") +
                  rows->field("key_name").toDisplayString() + "] on [" + targetName + "] (" +
                  column;
    } else {
      statement += "," + column;
    }
    rows->next();
    ++rowCounter;
  }
  if (rowCounter > 1) run(statement + ")");
}

}  // namespace fennick
