// The source queries of one table, with names kept inside their quotes.
#include "engine/tcc.h"

namespace fennick {
namespace {

std::string doubled(const std::string& name, char quote) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == quote) out += quote;
  }
  return out;
}

}  // namespace

std::string columnCatalogueQuery(const std::string& sourceName) {
  return "select * from user_tab_columns where table_name = '" + doubled(sourceName, '\'') +
         "' order by column_id";
}

std::string indexCatalogueQuery(const std::string& sourceName) {
  return "select   i.index_name key_name,i.uniqueness,C.Column_Name Column_name,"
         "c.column_position  Seq_in_index  from   user_indexes   i,user_ind_columns   c   "
         "where   i.index_name=c.index_name   and   i.table_name='" +
         doubled(sourceName, '\'') + "'   order   by     i.index_name,c.column_position";
}

std::string rowQuery(const std::string& sourceName) {
  return "select * from \"" + doubled(sourceName, '"') + "\"";
}

}  // namespace fennick
