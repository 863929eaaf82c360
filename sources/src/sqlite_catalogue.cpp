// Oracle's catalogue views over an SQLite file: TEMP views on sqlite_schema
// and the pragma table-valued functions, with the declared types read by
// our SQL function fennick_column_type(declared_type, part). Relies on
// declared_type.h for the reading itself.
#include <stdexcept>
#include <string>
#include <string_view>

#include "declared_type.h"
#include "sqlite_handle.h"

namespace fennick {

namespace {

void resultOptional(sqlite3_context* context, const std::optional<int>& value) {
  if (value) sqlite3_result_int(context, *value);
  else sqlite3_result_null(context);
}

// fennick_column_type(declared_type, part): one catalogue value of the
// Oracle type the declared type reads as; part is data_type, data_length,
// data_precision, data_scale, char_length or char_used.
void columnTypeFunction(sqlite3_context* context, int, sqlite3_value** args) {
  const auto* declared = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  const auto* partText = reinterpret_cast<const char*>(sqlite3_value_text(args[1]));
  const std::string_view part = partText ? partText : "";
  const OracleType type = readDeclaredType(declared ? declared : "");
  if (part == "data_type") {
    sqlite3_result_text(context, type.dataType.c_str(), static_cast<int>(type.dataType.size()),
                        SQLITE_TRANSIENT);
  } else if (part == "data_length") {
    sqlite3_result_int(context, type.dataLength);
  } else if (part == "data_precision") {
    resultOptional(context, type.precision);
  } else if (part == "data_scale") {
    resultOptional(context, type.scale);
  } else if (part == "char_length") {
    sqlite3_result_int(context, type.charLength);
  } else if (part == "char_used") {
    if (type.charUsed) sqlite3_result_text(context, &*type.charUsed, 1, SQLITE_TRANSIENT);
    else sqlite3_result_null(context);
  } else {
    sqlite3_result_error(context, "fennick_column_type: unknown part", -1);
  }
}

// The user's tables: SQLite's own (sqlite_*) are not part of the schema.
constexpr const char* kUserTable =
    "t.type = 'table' AND t.name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";

// A rowid primary key has no index of its own in SQLite; it shows as a
// unique index PK_<table> over the primary-key column.
constexpr const char* kRowidPrimaryKey =
    "EXISTS (SELECT 1 FROM pragma_table_info(t.name, 'main') WHERE pk > 0) AND NOT EXISTS "
    "(SELECT 1 FROM pragma_index_list(t.name, 'main') WHERE origin = 'pk')";

std::string catalogueScript() {
  const std::string userTable = kUserTable;
  const std::string rowidPk = kRowidPrimaryKey;
  return
      "CREATE TEMP VIEW user_tables AS SELECT t.name AS table_name FROM main.sqlite_schema t"
      " WHERE " + userTable + ";\n"

      "CREATE TEMP VIEW user_tab_columns AS SELECT t.name AS table_name,"
      " c.name AS column_name,"
      " fennick_column_type(c.type, 'data_type') AS data_type,"
      " NULL AS data_type_mod, NULL AS data_type_owner,"
      " fennick_column_type(c.type, 'data_length') AS data_length,"
      " fennick_column_type(c.type, 'data_precision') AS data_precision,"
      " fennick_column_type(c.type, 'data_scale') AS data_scale,"
      " CASE WHEN c.\"notnull\" OR c.pk > 0 THEN 'N' ELSE 'Y' END AS nullable,"
      " c.cid + 1 AS column_id,"
      " length(c.dflt_value) AS default_length, c.dflt_value AS data_default,"
      " fennick_column_type(c.type, 'char_length') AS char_length,"
      " fennick_column_type(c.type, 'char_used') AS char_used"
      " FROM main.sqlite_schema t, pragma_table_xinfo(t.name, 'main') c"
      " WHERE " + userTable + " AND c.hidden <> 1;\n"

      "CREATE TEMP VIEW user_indexes AS"
      " SELECT i.name AS index_name, 'NORMAL' AS index_type, t.name AS table_name,"
      " 'TABLE' AS table_type,"
      " CASE WHEN i.\"unique\" AND NOT i.partial THEN 'UNIQUE' ELSE 'NONUNIQUE' END AS uniqueness"
      " FROM main.sqlite_schema t, pragma_index_list(t.name, 'main') i WHERE " + userTable +
      " UNION ALL SELECT 'PK_' || t.name, 'NORMAL', t.name, 'TABLE', 'UNIQUE'"
      " FROM main.sqlite_schema t WHERE " + userTable + " AND " + rowidPk + ";\n"

      "CREATE TEMP VIEW user_ind_columns AS"
      " SELECT i.name AS index_name, t.name AS table_name, x.name AS column_name,"
      " x.seqno + 1 AS column_position,"
      " CASE WHEN x.\"desc\" THEN 'DESC' ELSE 'ASC' END AS descend"
      " FROM main.sqlite_schema t, pragma_index_list(t.name, 'main') i,"
      " pragma_index_xinfo(i.name, 'main') x"
      " WHERE " + userTable + " AND x.key = 1 AND x.name IS NOT NULL"
      " UNION ALL SELECT 'PK_' || t.name, t.name, c.name, c.pk, 'ASC'"
      " FROM main.sqlite_schema t, pragma_table_info(t.name, 'main') c"
      " WHERE " + userTable + " AND c.pk > 0 AND " + rowidPk + ";\n";
}

}  // namespace

void installOracleCatalogue(sqlite3* db) {
  if (sqlite3_create_function_v2(db, "fennick_column_type", 2,
                                 SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                 columnTypeFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqliteMessage(db));
  const std::string script = catalogueScript();
  char* error = nullptr;
  if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqliteMessage(db);
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

}  // namespace fennick
