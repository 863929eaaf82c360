// Statements the parser must refuse, each with the message the user reads.
#include <gtest/gtest.h>

#include <string>

#include "jet_sql/error.h"
#include "jet_sql/parser.h"

namespace fennick::jet::sql {
namespace {

using Kind = SqlError::Kind;

struct BadCase {
  std::string sql;
  Kind kind;
  std::string message;
  JetFormat format = JetFormat::Jet4;
};

const std::string kNotSupportedStatement =
    " statements are not supported; only CREATE TABLE, CREATE INDEX, DROP TABLE, DROP INDEX and SELECT are.";
const std::string kSelectForm = " is not supported in a SELECT statement; only SELECT fields FROM table, optionally WHERE 1=0, is.";
const std::string k65 = std::string(65, 'N');

const BadCase kBadStatements[] = {
    // The conversion's own text with a column line that lost its type.
    {"Create table [EMP] (\r\n[ID] , \r\n[NAME] text(40)\r\n ) ", Kind::Invalid,
     "Field \"ID\" in table \"EMP\" has no data type."},
    {"create table t (a not null)", Kind::Invalid, "Field \"a\" in table \"t\" has no data type."},
    {"create table t (a varchar2(10))", Kind::Invalid,
     "Field \"a\" has the data type \"varchar2\", which Jet does not know."},
    {"create table t (a long, A text(5))", Kind::Invalid, "Table \"t\" defines field \"A\" more than once."},
    {"create table t ([\xC3\xA9t\xC3\xA9] long, [\xC3\x89T\xC3\x89] long)", Kind::Invalid,
     "Table \"t\" defines field \"\xC3\x89T\xC3\x89\" more than once."},
    // Sizes out of range.
    {"create table t (a text(0))", Kind::Invalid, "Field \"a\" has Text size 0; it must be between 1 and 255."},
    {"create table t (a TEXT(256))", Kind::Invalid, "Field \"a\" has Text size 256; it must be between 1 and 255."},
    {"create table t (a char(99999999999999999999))", Kind::Invalid,
     "Field \"a\" has Text size 99999999999999999999; it must be between 1 and 255."},
    {"create table t (a decimal(29,0))", Kind::Invalid,
     "Field \"a\" has DECIMAL precision 29; it must be between 1 and 28."},
    {"create table t (a numeric(0))", Kind::Invalid,
     "Field \"a\" has DECIMAL precision 0; it must be between 1 and 28."},
    {"create table t (a decimal(5,6))", Kind::Invalid, "Field \"a\" has DECIMAL scale 6; it must be between 0 and 5."},
    {"create table t (a binary(511))", Kind::Invalid, "Field \"a\" has Binary size 511; it must be between 1 and 510."},
    {"create table t (a binary(256))", Kind::Invalid, "Field \"a\" has Binary size 256; it must be between 1 and 255.",
     JetFormat::Jet3},
    {"create table t (a counter(1,0))", Kind::Invalid, "Field \"a\" has COUNTER increment 0; it must not be zero."},
    {"create table t (a counter(1, 3000000000))", Kind::Invalid,
     "Field \"a\" has COUNTER increment 3000000000; it must be between -2147483648 and 2147483647."},
    {"create table t (a text(2.5))", Kind::Syntax, "Syntax error in field definition of \"a\" near \"2.5\"."},
    // What a Jet 3 file cannot hold.
    {"create table t (a decimal(10,2))", Kind::Invalid,
     "Field \"a\" is DECIMAL, which a Jet 3 (Access 95/97) database cannot hold.", JetFormat::Jet3},
    {"create table t (a text(5) with compression)", Kind::Invalid,
     "Field \"a\" asks for Unicode compression, which a Jet 3 (Access 95/97) database does not have.",
     JetFormat::Jet3},
    {"create table t (a long with compression)", Kind::Invalid,
     "Field \"a\" is not text and cannot be WITH COMPRESSION."},
    // Names Jet refuses.
    {"create table [" + k65 + "] (a long)", Kind::Invalid,
     "Table name \"" + std::string(60, 'N') + "...\" is not valid: it is 65 characters long and Jet allows at most 64."},
    {"create table [a.b] (x long)", Kind::Invalid, "Table name \"a.b\" is not valid: it contains \".\"."},
    {"create table t ([a!b] long)", Kind::Invalid, "Field name \"a!b\" is not valid: it contains \"!\"."},
    {"create table t ([a`b] long)", Kind::Invalid, "Field name \"a`b\" is not valid: it contains \"`\"."},
    {"create table t ([a[b] long)", Kind::Invalid, "Field name \"a[b\" is not valid: it contains \"[\"."},
    {"create table t ([ x] long)", Kind::Invalid, "Field name \" x\" is not valid: it begins with a blank."},
    {"create table t ([a\tb] long)", Kind::Invalid,
     "Field name \"a\\x09b\" is not valid: it contains a control character."},
    {"create table t ([] long)", Kind::Invalid, "Field name \"\" is not valid: a name cannot be empty."},
    {"create index [i.x] on t (a)", Kind::Invalid, "Index name \"i.x\" is not valid: it contains \".\"."},
    {"create table t (a long constraint [c!] unique)", Kind::Invalid,
     "Constraint name \"c!\" is not valid: it contains \"!\"."},
    // Field definitions and constraints.
    {"create table t (a long not null null)", Kind::Invalid, "Field \"a\" is declared both NULL and NOT NULL."},
    {"create table t (a long primary key, b long, constraint p primary key (b))", Kind::Invalid,
     "Table \"t\" has more than one primary key."},
    {"create table t (a long, constraint p primary key (z))", Kind::Invalid,
     "The PRIMARY KEY constraint \"p\" of table \"t\" names field \"z\", which the table does not have."},
    {"create table t (a long, unique (a, A))", Kind::Invalid,
     "The UNIQUE constraint of table \"t\" names field \"A\" twice."},
    {"create table t (a long, b long, constraint c unique (a), constraint C unique (b))", Kind::Invalid,
     "Table \"t\" has two constraints named \"C\"."},
    {"create table t (a memo primary key)", Kind::Invalid,
     "The PRIMARY KEY constraint of table \"t\" names field \"a\", which is Memo; Jet cannot index Memo or OLE "
     "Object fields."},
    {"create table t (a long, b image, constraint u unique (a, b))", Kind::Invalid,
     "The UNIQUE constraint \"u\" of table \"t\" names field \"b\", which is OleObject; Jet cannot index Memo or "
     "OLE Object fields."},
    {"create table t (constraint c unique (a))", Kind::Invalid, "Table \"t\" has no fields."},
    {"create table t (a long, constraint primary key (a))", Kind::Syntax,
     "Syntax error in CONSTRAINT clause near \"primary\"."},
    {"create table t (a long, constraint c key (a))", Kind::Syntax, "Syntax error in CONSTRAINT clause near \"key\"."},
    {"create table t (a long constraint c)", Kind::Syntax, "Syntax error in CONSTRAINT clause near \")\"."},
    {"create table t (a long, b long references x)", Kind::NotSupported,
     "Foreign keys (REFERENCES, FOREIGN KEY) are not supported; table \"t\" must be created without them."},
    {"create table t (a long, constraint f foreign key (a) references x (a))", Kind::NotSupported,
     "Foreign keys (REFERENCES, FOREIGN KEY) are not supported; table \"t\" must be created without them."},
    {"create table t (a long default 0)", Kind::NotSupported,
     "Default values (DEFAULT) are not supported; field \"a\" must be defined without one."},
    // Syntax errors name the statement kind and the token.
    {"create table t (a long,)", Kind::Syntax, "Syntax error in CREATE TABLE statement near \")\"."},
    {"create table t ()", Kind::Syntax, "Syntax error in CREATE TABLE statement near \")\"."},
    {"create table select (a long)", Kind::Syntax, "Syntax error in CREATE TABLE statement near \"select\"."},
    {"create table t (a text(40) xyz)", Kind::Syntax, "Syntax error in field definition of \"a\" near \"xyz\"."},
    {"create table t (a text(5) with foo)", Kind::Syntax, "Syntax error in field definition of \"a\" near \"foo\"."},
    {"create table t (a long", Kind::Syntax, "Syntax error in CREATE TABLE statement: the statement ends after \"long\"."},
    {"create table t ([a long)", Kind::Syntax,
     "Syntax error in CREATE TABLE statement near \"[a long)\": the name has no closing \"]\"."},
    {"create table `t (a long)", Kind::Syntax,
     "Syntax error in CREATE TABLE statement near \"`t (a long)\": the name has no closing \"`\"."},
    {"create table t (a long) x", Kind::Syntax, "Characters found after end of SQL statement near \"x\"."},
    {"create table t (a long);;", Kind::Syntax, "Characters found after end of SQL statement near \";\"."},
    {"create foo", Kind::Syntax, "Syntax error in CREATE TABLE or CREATE INDEX statement near \"foo\"."},
    // Indexes.
    {"create index ix on MY TABLE (ID)", Kind::Syntax, "Syntax error in CREATE INDEX statement near \"TABLE\"."},
    {"create index ix t (a)", Kind::Syntax, "Syntax error in CREATE INDEX statement near \"t\"."},
    {"create index ix on t (a, A)", Kind::Invalid, "Index \"ix\" names field \"A\" twice."},
    {"create index ix on t (a) with", Kind::Syntax,
     "Syntax error in CREATE INDEX statement: the statement ends after \"with\"."},
    {"create index ix on t (a) with primary primary", Kind::Invalid, "Index \"ix\" names WITH PRIMARY twice."},
    {"create index ix on t (a) with primary ignore null", Kind::Invalid,
     "Index \"ix\" cannot be both WITH PRIMARY and IGNORE NULL: a primary key holds no Null values."},
    {"create index ix on t (a,b,c,d,e,f,g,h,i,j,k)", Kind::Invalid,
     "Index \"ix\" names more than 10 fields; Jet allows at most 10."},
    // DROP.
    {"drop table", Kind::Syntax, "Syntax error in DROP TABLE or DROP INDEX: the statement ends after \"table\"."},
    {"drop index ix", Kind::Syntax, "Syntax error in DROP TABLE or DROP INDEX: the statement ends after \"ix\"."},
    {"drop foo", Kind::Syntax, "Syntax error in DROP TABLE or DROP INDEX near \"foo\"."},
    {"drop view v", Kind::NotSupported, "DROP VIEW statements are not supported."},
    // Other statements.
    {"insert into t values (1)", Kind::NotSupported, "INSERT" + kNotSupportedStatement},
    {"Update t set a=1", Kind::NotSupported, "UPDATE" + kNotSupportedStatement},
    {"delete from t", Kind::NotSupported, "DELETE" + kNotSupportedStatement},
    {"alter table t add column x long", Kind::NotSupported, "ALTER" + kNotSupportedStatement},
    {"create view v as select * from t", Kind::NotSupported, "CREATE VIEW" + kNotSupportedStatement},
    {"hello world", Kind::Syntax, "Invalid SQL statement near \"hello\"; expected CREATE, DROP or SELECT."},
    {"", Kind::Syntax, "The SQL statement is empty."},
    {" \r\n;\t", Kind::Syntax, "The SQL statement is empty."},
    {"select * from \xFF", Kind::Syntax, "The SQL statement is not valid UTF-8 text."},
    // SELECT beyond the one supported form.
    {"select * from t where a > 3", Kind::NotSupported,
     "The WHERE condition \"a > 3\" is not supported; only WHERE 1=0 and WHERE 1=1 are."},
    {"select * from t where 1=0 and a=1;", Kind::NotSupported,
     "The WHERE condition \"1=0 and a=1\" is not supported; only WHERE 1=0 and WHERE 1=1 are."},
    {"select * from t where 1=2", Kind::NotSupported,
     "The WHERE condition \"1=2\" is not supported; only WHERE 1=0 and WHERE 1=1 are."},
    {"select * from t order by a", Kind::NotSupported, "\"order by a\"" + kSelectForm},
    {"select * from a, b", Kind::NotSupported, "\", b\"" + kSelectForm},
    {"select * from a inner join b on a.x=b.x", Kind::NotSupported, "\"inner join b on a.x=b.x\"" + kSelectForm},
    {"select distinct a from t", Kind::NotSupported, "\"distinct a from t\"" + kSelectForm},
    {"select t.a from t", Kind::NotSupported, "\"t.a from t\"" + kSelectForm},
    {"select count(*) from t", Kind::NotSupported, "\"count(*) from t\"" + kSelectForm},
    {"select a into b from t", Kind::NotSupported, "\"into b from t\"" + kSelectForm},
    {"select 1", Kind::NotSupported,
     "SELECT statements without FROM are not supported; only SELECT fields FROM table, optionally WHERE 1=0, is."},
    {"select a from", Kind::Syntax, "Syntax error in SELECT statement: the statement ends after \"from\"."},
    {"select * from t where", Kind::Syntax, "Syntax error in SELECT statement: the statement ends after \"where\"."},
    {"select 'abc from t", Kind::Syntax,
     "Syntax error in SELECT statement near \"'abc from t\": the text has no closing quote."},
};

TEST(JetSqlErrors, RefusedStatementsSayWhatIsWrong) {
  for (const BadCase& c : kBadStatements) {
    SCOPED_TRACE(c.sql);
    try {
      parseStatement(c.sql, ParseOptions{c.format});
      ADD_FAILURE() << "accepted";
    } catch (const SqlError& e) {
      EXPECT_EQ(e.what(), c.message);
      EXPECT_EQ(static_cast<int>(e.kind()), static_cast<int>(c.kind));
    }
  }
}

TEST(JetSqlErrors, TableLimitsAreJets) {
  std::string fields;
  for (int i = 0; i < 256; ++i) fields += (i ? ", f" : "f") + std::to_string(i) + " long";
  EXPECT_THROW(
      {
        try {
          parseStatement("create table t (" + fields + ")");
        } catch (const SqlError& e) {
          EXPECT_STREQ(e.what(), "Table \"t\" has more than 255 fields; Jet allows at most 255.");
          throw;
        }
      },
      SqlError);
  const std::size_t lastField = fields.rfind(", ");
  EXPECT_NO_THROW(parseStatement("create table t (" + fields.substr(0, lastField) + ")"));
}

}  // namespace
}  // namespace fennick::jet::sql
