#include <gtest/gtest.h>

#include "engine/tcc.h"

namespace fennick {
namespace {

const Value N = Value::null();
Value n(long long v) { return Value::integer(v); }

TEST(TypeMapping, OracleTypesToJetTypes) {
  struct Case {
    const char* type;
    Value length, precision, scale;
    bool blobToText;
    const char* expected;  // nullptr: no type text
  } cases[] = {
      {"NUMBER", n(22), N, N, false, " Integer"},
      {"NUMBER", n(22), N, n(0), false, " Integer"},
      {"NUMBER", n(22), n(9), n(0), false, " Integer"},
      {"NUMBER", n(22), n(10), n(0), false, " Double"},
      {"NUMBER", n(22), n(15), n(2), false, " Double"},
      {"NUMBER", n(22), n(16), n(2), false, " Text"},
      {"NUMBER", n(22), N, n(4), false, " Double"},
      {"NUMBER", n(22), N, n(5), false, " Text"},
      {"NUMBER", n(22), n(38), n(10), false, " Text"},
      {"NUMBER", n(22), n(16), n(-2), false, " Text"},
      {"NUMBER", n(22), n(15), n(-2), false, " Double"},
      {"NUMBER", n(22), N, n(-2), false, " Double"},
      {"NUMBER", Value::real(22), Value::real(9.0), Value::real(0.0), false, " Integer"},
      {"VARCHAR2", n(250), N, N, false, " text(250)"},
      {"NVARCHAR2", n(251), N, N, false, " Memo"},
      {"CHAR", n(1), N, N, false, " text(1)"},
      {"NCHAR", n(20), N, N, false, " text(20)"},
      {"BLOB", n(4000), N, N, true, " Memo"},
      {"BLOB", n(4000), N, N, false, " OleObject"},
      {"LONG RAW", N, N, N, false, " Memo"},
      {"NCLOB", n(4000), N, N, true, " Memo"},
      {"CLOB", n(4000), N, N, false, " Memo"},
      {"LONG", n(0), N, N, false, " Memo"},
      {"RAW", n(16), N, N, true, " OleObject"},
      {"DATE", n(7), N, N, false, " Date"},
      {"TIMESTAMP(6)", n(11), N, n(6), false, " Date"},
      {"TIMESTAMP(3)", n(11), N, n(3), false, " Date"},
      {"TIMESTAMP(6) WITH TIME ZONE", n(13), N, n(6), false, " Date"},
      {"TIMESTAMP(0) WITH LOCAL TIME ZONE", n(11), N, n(0), false, " Date"},
      {"INTERVAL YEAR(2) TO MONTH", n(5), n(2), n(0), false, " text(20)"},
      {"INTERVAL DAY(3) TO SECOND(2)", n(11), n(3), n(2), false, " text(20)"},
      {"BINARY_DOUBLE", n(8), N, N, false, " text(20)"},
      {"BINARY_FLOAT", n(4), N, N, false, " text(20)"},
      {"FLOAT", n(22), n(126), N, false, " Double"},
      {"number", n(22), N, N, false, nullptr},
      {"XMLTYPE", n(2000), N, N, false, nullptr},
      {"ROWID", n(10), N, N, false, nullptr},
  };
  for (const auto& c : cases) {
    const auto text = jetTypeText(c.type, c.length, c.precision, c.scale, c.blobToText);
    if (c.expected) {
      ASSERT_TRUE(text.has_value()) << c.type;
      EXPECT_EQ(*text, c.expected) << c.type << " p=" << c.precision.toDisplayString()
                                   << " s=" << c.scale.toDisplayString();
    } else {
      EXPECT_FALSE(text.has_value()) << c.type;
    }
  }
}

TEST(CatalogueQueries, ExactTextsAndQuotesKeptInside) {
  EXPECT_EQ(columnCatalogueQuery("EMP"),
            "select * from user_tab_columns where table_name = 'EMP' order by column_id");
  EXPECT_EQ(indexCatalogueQuery("EMP"),
            "select   i.index_name key_name,i.uniqueness,C.Column_Name Column_name,"
            "c.column_position  Seq_in_index  from   user_indexes   i,user_ind_columns   c   "
            "where   i.index_name=c.index_name   and   i.table_name='EMP'   order   by     "
            "i.index_name,c.column_position");
  EXPECT_EQ(columnCatalogueQuery("O'BRIEN"),
            "select * from user_tab_columns where table_name = 'O''BRIEN' order by column_id");
  EXPECT_EQ(rowQuery("EMP"), "select * from \"EMP\"");
  EXPECT_EQ(rowQuery("My \"x\""), "select * from \"My \"\"x\"\"\"");
}

}  // namespace
}  // namespace fennick
