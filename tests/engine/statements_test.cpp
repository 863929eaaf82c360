// The statements one table's definition and indexes become, as the target
// receives them.
#include <gtest/gtest.h>

#include "engine/tcc.h"
#include "fakes.h"

namespace fennick {
namespace {

using test::FakeResult;
using test::FakeSource;
using test::FakeTarget;

struct Statements {
  FakeSource* source = nullptr;
  FakeTarget* target = nullptr;
  SourceConnection sourceConnection;
  std::unique_ptr<FakeTarget> pending = std::make_unique<FakeTarget>();
  TargetConnection targetConnection{[this](const std::string&) {
    return std::unique_ptr<TargetDatabase>(std::move(pending));
  }};
  Tcc tcc{sourceConnection, targetConnection};

  Statements() {
    auto s = std::make_unique<FakeSource>();
    source = s.get();
    target = pending.get();
    sourceConnection.attach(std::move(s));
    targetConnection.open("target.mdb");
  }
  void columns(const std::string& table, std::vector<std::vector<Value>> rows) {
    FakeResult r;
    r.fields = {"column_name", "data_type", "data_length", "data_precision", "data_scale"};
    r.rows = std::move(rows);
    source->results[columnCatalogueQuery(table)] = r;
  }
  void indexes(const std::string& table, std::vector<std::vector<Value>> rows) {
    FakeResult r;
    r.fields = {"KEY_NAME", "UNIQUENESS", "COLUMN_NAME", "SEQ_IN_INDEX"};
    r.rows = std::move(rows);
    source->results[indexCatalogueQuery(table)] = r;
  }
};

Value t(const char* s) { return Value::text(s); }
Value n(long long v) { return Value::integer(v); }
const Value N;

TEST(TableDefinition, TheWorkedExampleAndItsLines) {
  Statements s;
  s.columns("EMP", {{t("ID"), t("NUMBER"), n(22), n(10), n(0)},
                    {t("NAME"), t("VARCHAR2"), n(40), N, N},
                    {t("PHOTO"), t("BLOB"), n(4000), N, N}});
  std::string error = "untouched";
  ASSERT_TRUE(s.tcc.createtable("EMP", "EMP", false, error));
  EXPECT_EQ(error, "untouched");
  EXPECT_EQ(s.tcc.tmpmemo(), (std::vector<std::string>{"Create table [EMP] (", "[ID] Double , ",
                                                       "[NAME] text(40) , ", "[PHOTO] OleObject",
                                                       " ) "}));
  EXPECT_EQ(s.target->statements.back(),
            "Create table [EMP] (\r\n[ID] Double , \r\n[NAME] text(40) , \r\n[PHOTO] OleObject\r\n ) ");
}

TEST(TableDefinition, OneColumnLongNamesAndRefusals) {
  Statements s;
  const std::string longName(61, 'C');
  s.columns("ONE", {{t("ID"), t("NUMBER"), n(22), N, N}});
  s.columns("LONG", {{Value::text(longName), t("DATE"), n(7), N, N},
                     {Value::text(longName.substr(0, 60) + "X"), t("DATE"), n(7), N, N}});
  s.columns("UNTYPED", {{t("X"), t("XMLTYPE"), n(2000), N, N}});
  std::string error;
  ASSERT_TRUE(s.tcc.createtable("ONE", "ONE", false, error));
  EXPECT_EQ(s.tcc.tmpmemo(), (std::vector<std::string>{"Create table [ONE] (", "[ID] Integer", " ) "}));

  s.tcc.createtable("LONG", "LONG", false, error);
  EXPECT_EQ(s.tcc.tmpmemo()[1], "[" + longName.substr(0, 60) + "] Date , ");

  EXPECT_FALSE(s.tcc.createtable("UNTYPED", "UNTYPED", false, error));
  EXPECT_EQ(s.tcc.tmpmemo()[1], "[X]");
  EXPECT_EQ(error, "Syntax error in field definition.");

  // No catalogue rows: the bare statement, which the target refuses.
  s.columns("NONE", {});
  EXPECT_FALSE(s.tcc.createtable("NONE", "NONE", false, error));
  EXPECT_EQ(s.target->statements.back(), "Create table [NONE] (\r\n ) ");
}

TEST(IndexConversion, StatementFormsAndWhenTheyRun) {
  Statements s;
  s.indexes("EMP", {{t("IX_NAME"), t("NONUNIQUE"), t("LAST"), n(1)},
                    {t("IX_NAME"), t("NONUNIQUE"), t("FIRST"), Value::decimal("2")},
                    {t("PK_EMP"), t("UNIQUE"), t("ID"), Value::decimal("1.0")},
                    {t("UX_DATE"), t("UNIQUE"), t("DATE"), Value::real(1)},
                    {t("UX_DATE"), t("UNIQUE"), t("LEVEL"), n(2)},
                    {t("UX_DATE"), t("UNIQUE"), t("ORDER"), n(3)}});
  s.tcc.createindexes("EMP", "EMP");
  EXPECT_EQ(s.target->statements,
            (std::vector<std::string>{"create index [IX_NAME] on [EMP] ([LAST],[FIRST])",
                                      "create UNIQUE index [PK_EMP] on [EMP] ([ID])",
                                      "create UNIQUE index [UX_DATE] on [EMP] ([DATE],[LEVEL],[ORDER])"}));
}

TEST(IndexConversion, NoIndexesAndRefusedOnes) {
  Statements s;
  s.indexes("NONE", {});
  s.tcc.createindexes("NONE", "NONE");
  EXPECT_TRUE(s.target->statements.empty());

  // A refused first index does not stop the second; names with blanks and
  // long column names are bracketed and cut.
  Statements r;
  r.target->refuseStatementsWith = "BAD";
  const std::string longColumn(65, 'K');
  r.indexes("MY TABLE", {{t("BAD"), t("UNIQUE"), t("NOPE"), n(1)},
                         {t("GOOD"), t("NONUNIQUE"), Value::text(longColumn), n(1)}});
  r.tcc.createindexes("MY TABLE", "MY TABLE");
  EXPECT_EQ(r.target->statements,
            (std::vector<std::string>{"create UNIQUE index [BAD] on [MY TABLE] ([NOPE])",
                                      "create index [GOOD] on [MY TABLE] ([" +
                                          longColumn.substr(0, 60) + "])"}));
}

TEST(TableProbes, ExistenceAndDrop) {
  Statements s;
  s.target->tables["T"].columns = {"A"};
  EXPECT_TRUE(s.tcc.tableexists(s.targetConnection.accdataset(), "T"));
  EXPECT_EQ(s.target->statements.back(), "Select 1 from [T] where 1=0");
  EXPECT_FALSE(s.tcc.tableexists(s.targetConnection.accdataset(), "MISSING"));
  EXPECT_FALSE(s.tcc.tableexists(s.targetConnection.accdataset(), "A]B"));
  std::string error = "kept";
  EXPECT_TRUE(s.tcc.droptable(s.targetConnection.accesssql(), "T", error));
  EXPECT_EQ(error, "kept");
  EXPECT_EQ(s.target->statements.back(), "drop table [T]");
  EXPECT_FALSE(s.tcc.droptable(s.targetConnection.accesssql(), "T", error));
  EXPECT_NE(error, "kept");
}

}  // namespace
}  // namespace fennick
