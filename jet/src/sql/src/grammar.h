// The statement parsers and the clauses they share. Each parser starts
// after the words that chose it (parseCreateTable after CREATE TABLE) and
// stops at the end of its statement; parser.cpp checks what follows.
#pragma once

#include <string>
#include <string_view>

#include "cursor.h"
#include "jet_sql/parser.h"
#include "jet_sql/statement.h"

namespace fennick::jet::sql {

// A name, bare or [bracketed], checked against Jet's naming rules. `what`
// ("Table", "Field", ...) starts the message when the name is refused;
// `context` words the syntax error when no name stands here. Bare words
// that Jet SQL uses as keywords are not names.
std::string readName(Cursor& cursor, std::string_view what, std::string_view context);

// "Syntax error in field definition of "<field>"", the context for syntax
// errors inside one field definition.
std::string fieldContext(std::string_view field);

// Throws SqlError(NotSupported) with `message`.
[[noreturn]] void notSupported(const std::string& message);

// Throws SqlError(Invalid) with `message`.
[[noreturn]] void invalid(const std::string& message);

// True when the next token begins a data type.
bool atDataType(const Cursor& cursor);
// Reads a data type and its size or arguments into `column`.
void readDataType(Cursor& cursor, ColumnDef& column, JetFormat format);

CreateTable parseCreateTable(Cursor& cursor, JetFormat format);
CreateIndex parseCreateIndex(Cursor& cursor);  // at [UNIQUE] INDEX
Statement parseDrop(Cursor& cursor);
Select parseSelect(Cursor& cursor);

}  // namespace fennick::jet::sql
