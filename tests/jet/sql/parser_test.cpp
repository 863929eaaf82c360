// Statements the parser must accept, each with the tree it must give.
#include <gtest/gtest.h>

#include "jet_sql/error.h"
#include "jet_sql/parser.h"
#include "tree_text.h"

namespace fennick::jet::sql {
namespace {

struct GoodCase {
  const char* sql;
  const char* tree;
};

// The exact texts the conversion sends, CR LF between lines.
const GoodCase kConversionTexts[] = {
    {"Create table [EMP] (\r\n[ID] Double , \r\n[NAME] text(40) , \r\n[PHOTO] OleObject\r\n ) ",
     "TABLE EMP: ID Double, NAME Text(40), PHOTO OleObject"},
    {"Create table [T] (\r\n[A] Integer , \r\n[B] Double , \r\n[C] Text , \r\n[D] text(250) , \r\n"
     "[E] Memo , \r\n[F] OleObject , \r\n[G] Date , \r\n[H] text(20)\r\n ) ",
     "TABLE T: A Long, B Double, C Memo, D Text(250), E Memo, F OleObject, G DateTime, H Text(20)"},
    {"create UNIQUE index [PK_EMP] on EMP (ID)", "INDEX PK_EMP ON EMP (ID) unique"},
    {"create index [IX_NAME] on [EMP] (LAST,FIRST)", "INDEX IX_NAME ON EMP (LAST, FIRST)"},
    {"Select 1 from [x] where 1=0", "SELECT 1 FROM x empty"},
};

// Every type name and synonym, one column each.
const GoodCase kTypes[] = {
    {"create table t (c INTEGER)", "TABLE t: c Long"},
    {"create table t (c long)", "TABLE t: c Long"},
    {"create table t (c Int)", "TABLE t: c Long"},
    {"create table t (c INTEGER4)", "TABLE t: c Long"},
    {"create table t (c SMALLINT)", "TABLE t: c Integer"},
    {"create table t (c short)", "TABLE t: c Integer"},
    {"create table t (c integer2)", "TABLE t: c Integer"},
    {"create table t (c BYTE)", "TABLE t: c Byte"},
    {"create table t (c TinyInt)", "TABLE t: c Byte"},
    {"create table t (c INTEGER1)", "TABLE t: c Byte"},
    {"create table t (c DOUBLE)", "TABLE t: c Double"},
    {"create table t (c double precision)", "TABLE t: c Double"},
    {"create table t (c FLOAT)", "TABLE t: c Double"},
    {"create table t (c float8)", "TABLE t: c Double"},
    {"create table t (c IEEEDouble)", "TABLE t: c Double"},
    {"create table t (c Number)", "TABLE t: c Double"},
    {"create table t (c REAL)", "TABLE t: c Single"},
    {"create table t (c Single)", "TABLE t: c Single"},
    {"create table t (c FLOAT4)", "TABLE t: c Single"},
    {"create table t (c IEEESingle)", "TABLE t: c Single"},
    {"create table t (c CURRENCY)", "TABLE t: c Currency"},
    {"create table t (c money)", "TABLE t: c Currency"},
    {"create table t (c DATE)", "TABLE t: c DateTime"},
    {"create table t (c DateTime)", "TABLE t: c DateTime"},
    {"create table t (c time)", "TABLE t: c DateTime"},
    {"create table t (c TIMESTAMP)", "TABLE t: c DateTime"},
    {"create table t (c TEXT)", "TABLE t: c Memo"},
    {"create table t (c TEXT(1))", "TABLE t: c Text(1)"},
    {"create table t (c text ( 255 ))", "TABLE t: c Text(255)"},
    {"create table t (c VARCHAR(30))", "TABLE t: c Text(30)"},
    {"create table t (c varchar)", "TABLE t: c Text(255)"},
    {"create table t (c CHAR(10))", "TABLE t: c Text(10) fixed"},
    {"create table t (c character)", "TABLE t: c Text(255) fixed"},
    {"create table t (c CHARACTER VARYING(12))", "TABLE t: c Text(12)"},
    {"create table t (c NCHAR(3))", "TABLE t: c Text(3) fixed"},
    {"create table t (c NATIONAL CHARACTER(5))", "TABLE t: c Text(5) fixed"},
    {"create table t (c national char varying(5))", "TABLE t: c Text(5)"},
    {"create table t (c ALPHANUMERIC(9))", "TABLE t: c Text(9)"},
    {"create table t (c String)", "TABLE t: c Text(255)"},
    {"create table t (c MEMO)", "TABLE t: c Memo"},
    {"create table t (c LONGTEXT)", "TABLE t: c Memo"},
    {"create table t (c LongChar)", "TABLE t: c Memo"},
    {"create table t (c Note)", "TABLE t: c Memo"},
    {"create table t (c NTEXT)", "TABLE t: c Memo"},
    {"create table t (c OLEOBJECT)", "TABLE t: c OleObject"},
    {"create table t (c LongBinary)", "TABLE t: c OleObject"},
    {"create table t (c image)", "TABLE t: c OleObject"},
    {"create table t (c General)", "TABLE t: c OleObject"},
    {"create table t (c BINARY(16))", "TABLE t: c Binary(16)"},
    {"create table t (c binary)", "TABLE t: c Binary(510)"},
    {"create table t (c BINARY(510))", "TABLE t: c Binary(510)"},
    {"create table t (c VarBinary(8))", "TABLE t: c Binary(8)"},
    {"create table t (c binary varying(4))", "TABLE t: c Binary(4)"},
    {"create table t (c BIT VARYING(2))", "TABLE t: c Binary(2)"},
    {"create table t (c BIT)", "TABLE t: c Boolean"},
    {"create table t (c YesNo)", "TABLE t: c Boolean"},
    {"create table t (c Boolean)", "TABLE t: c Boolean"},
    {"create table t (c LOGICAL)", "TABLE t: c Boolean"},
    {"create table t (c logical1)", "TABLE t: c Boolean"},
    {"create table t (c COUNTER)", "TABLE t: c Long counter(1,1)"},
    {"create table t (c AutoIncrement(100, 5))", "TABLE t: c Long counter(100,5)"},
    {"create table t (c counter(-1,-1))", "TABLE t: c Long counter(-1,-1)"},
    {"create table t (c IDENTITY)", "TABLE t: c Long counter(1,1)"},
    {"create table t (c GUID)", "TABLE t: c Guid"},
    {"create table t (c UniqueIdentifier)", "TABLE t: c Guid"},
    {"create table t (c DECIMAL)", "TABLE t: c Decimal(18,0)"},
    {"create table t (c decimal(28,28))", "TABLE t: c Decimal(28,28)"},
    {"create table t (c NUMERIC(10,2))", "TABLE t: c Decimal(10,2)"},
    {"create table t (c numeric(1))", "TABLE t: c Decimal(1,0)"},
    {"create table t (c DEC(5,0))", "TABLE t: c Decimal(5,0)"},
};

// Names, blanks, case, NULL and constraints.
const GoodCase kTables[] = {
    {"CREATE TABLE [Order Details] ([Unit Price] CURRENCY);", "TABLE Order Details: Unit Price Currency"},
    {"\tcreate\ttable\r\nEMP\n(ID\tlong\r\n)\r\n;\r\n", "TABLE EMP: ID Long"},
    {"CrEaTe TaBlE Émp ([Ñame] TEXT(5))", "TABLE Émp: Ñame Text(5)"},
    {"create table [t] ([select] long, [a b?] long)", "TABLE t: select Long, a b? Long"},
    {"create table `My Table` (`a b` long, [c] long, d long)", "TABLE My Table: a b Long, c Long, d Long"},
    {"create table t (Date date, Text text(3))", "TABLE t: Date DateTime, Text Text(3)"},
    {"create table t (a long not null, b long null, c text(5) NOT NULL)",
     "TABLE t: a Long not-null, b Long, c Text(5) not-null"},
    {"create table t (a text(9) with compression, b memo WITH COMP not null)",
     "TABLE t: a Text(9) compressed, b Memo not-null compressed"},
    {"create table t (id counter primary key, code text(5) unique)",
     "TABLE t: id Long counter(1,1), code Text(5); PK(id), UNIQUE(code)"},
    {"create table t (id long constraint pk_t primary key, code text(5) constraint uq unique not null)",
     "TABLE t: id Long, code Text(5) not-null; PK[pk_t](id), UNIQUE[uq](code)"},
    {"create table t (id long constraint nn not null)", "TABLE t: id Long not-null"},
    {"create table t (a long, b long, constraint [pk t] primary key (a, b), constraint u unique (B))",
     "TABLE t: a Long, b Long; PK[pk t](a, b), UNIQUE[u](B)"},
    {"create table t (a long, primary key (a), unique (a))", "TABLE t: a Long; PK(a), UNIQUE(a)"},
};

const GoodCase kOtherStatements[] = {
    {"DROP TABLE [EMP]", "DROP TABLE EMP"},
    {"drop table emp;", "DROP TABLE emp"},
    {"DROP INDEX [IX_NAME] ON [EMP]", "DROP INDEX IX_NAME ON EMP"},
    {"CREATE INDEX ix ON t (a ASC, b DESC, c)", "INDEX ix ON t (a, b desc, c)"},
    {"create index pk on t (a) with primary", "INDEX pk ON t (a) unique primary"},
    {"create index ix on t (a) WITH DISALLOW NULL", "INDEX ix ON t (a) disallow-null"},
    {"create unique index ix on t (a) with ignore null", "INDEX ix ON t (a) unique ignore-null"},
    {"create index ix on t (a) with primary disallow null", "INDEX ix ON t (a) unique primary disallow-null"},
    {"create index ix on t (a) with disallow null ignore null", "INDEX ix ON t (a) disallow-null ignore-null"},
    {"SELECT * FROM [EMP]", "SELECT * FROM EMP"},
    {"select * from EMP where 1=0;", "SELECT * FROM EMP empty"},
    {"select [ID], NAME from EMP where 1 = 1", "SELECT ID, NAME FROM EMP"},
    {"select -5, 2.50, 'it''s', \"q\", null, 99999999999999999999 from t",
     "SELECT -5, decimal 2.50, 'it's', 'q', null, decimal 99999999999999999999 FROM t"},
    {"select id as [key], 1 as one from t where 1=0", "SELECT id as key, 1 as one FROM t empty"},
};

void expectTrees(const GoodCase* begin, const GoodCase* end) {
  for (const GoodCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->sql);
    try {
      EXPECT_EQ(test::treeText(parseStatement(c->sql)), c->tree);
    } catch (const SqlError& e) {
      ADD_FAILURE() << "refused: " << e.what();
    }
  }
}

TEST(JetSqlParser, ReadsTheConversionsTexts) { expectTrees(std::begin(kConversionTexts), std::end(kConversionTexts)); }
TEST(JetSqlParser, ReadsEveryTypeName) { expectTrees(std::begin(kTypes), std::end(kTypes)); }
TEST(JetSqlParser, ReadsTableDefinitions) { expectTrees(std::begin(kTables), std::end(kTables)); }
TEST(JetSqlParser, ReadsIndexDropAndSelectStatements) {
  expectTrees(std::begin(kOtherStatements), std::end(kOtherStatements));
}

TEST(JetSqlParser, Jet3KeepsWhatItCanHold) {
  const ParseOptions jet3{JetFormat::Jet3};
  EXPECT_EQ(test::treeText(parseStatement("create table t (b binary, c binary(255), d text(255))", jet3)),
            "TABLE t: b Binary(255), c Binary(255), d Text(255)");
}

// Cutting a valid statement anywhere, or feeding it bytes it never
// expected, gives a SqlError, never a crash or another exception.
TEST(JetSqlParser, DamagedStatementsOnlyEverRaiseSqlError) {
  std::vector<std::string> statements;
  const auto add = [&](const auto& table) {
    for (const GoodCase& c : table) statements.push_back(c.sql);
  };
  add(kConversionTexts);
  add(kTables);
  add(kOtherStatements);
  const std::string inserts[] = {"", "(", ")", ",", "[", "'", "\"", "\x01", "\xFF", "-", "99999999999"};
  for (const std::string& sql : statements) {
    for (std::size_t cut = 0; cut <= sql.size(); ++cut) {
      for (const std::string& insert : inserts) {
        const std::string damaged = sql.substr(0, cut) + insert;
        for (const std::string& text : {damaged, damaged + sql.substr(cut)}) {
          try {
            parseStatement(text);
          } catch (const SqlError& e) {
            EXPECT_NE(std::string(e.what()), "") << text;
          }
        }
      }
    }
  }
}

// Statements made of random pieces of Jet SQL, from a fixed seed: every
// one is either read or refused with a SqlError.
TEST(JetSqlParser, RandomTokenSoupOnlyRaisesSqlError) {
  const char* const pieces[] = {
      "create", "table", "index", "unique", "drop", "select", "from", "where", "on", "with",
      "primary", "key", "constraint", "not", "null", "disallow", "ignore", "text", "decimal",
      "counter", "binary", "national", "char", "varying", "double", "precision", "bit", "long",
      "[a]", "b", "`c`", "(", ")", ",", ";", "=", "*", "-", "1", "0", "255", "28", "'s'", "[", "`",
      "'", "\r\n", "desc", "as", "compression", "references", "."};
  std::uint32_t state = 20261209;
  const auto random = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  const char* const starts[] = {"create table t (", "create table t (a ", "create index i on t (",
                                "select ", "drop ", ""};
  for (int round = 0; round < 20000; ++round) {
    std::string sql = starts[random(std::size(starts))];
    const std::uint32_t length = 1 + random(24);
    for (std::uint32_t i = 0; i < length; ++i) {
      sql += pieces[random(std::size(pieces))];
      sql += ' ';
    }
    try {
      parseStatement(sql, ParseOptions{random(2) ? JetFormat::Jet4 : JetFormat::Jet3});
    } catch (const SqlError&) {
    }
  }
}

}  // namespace
}  // namespace fennick::jet::sql
