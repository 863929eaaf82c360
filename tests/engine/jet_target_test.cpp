// The Jet target adapter on real Access files: the conversion's probe and
// rowset statements, fields as mdbtools lists them, the new row's fields,
// and what is refused until the engine can write.
#include "jet_target.h"

#include <gtest/gtest.h>

#include "jet/database.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/tcc.h"
#include "sources/source.h"
#include "fixtures.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick {
namespace {

std::string fixture(const std::string& name) { return test::sharedPath("fixtures/access/" + name); }

// The message `action` throws; fails the test when it throws nothing.
template <typename Action>
std::string failure(Action&& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  ADD_FAILURE() << "nothing was thrown";
  return "";
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> userTables(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& t : jet::Database::open(path, jet::OpenMode::ReadOnly).tables())
    if (!t.system) names.push_back(t.name);
  return names;
}

std::vector<std::string> fieldNames(const TargetCursor& cursor) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < cursor.fieldCount(); ++i) names.push_back(cursor.fieldName(i));
  return names;
}

TEST(JetTarget, ProbeFindsEveryTableInAnyCaseAndRefusesOthers) {
  for (const auto& name : test::accessFixtures()) {
    SCOPED_TRACE(name);
    auto database = jetTargetOpener()(fixture(name));
    for (std::string table : userTables(fixture(name))) {
      for (auto& c : table)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      auto probe = database->openCursor("Select 1 from [" + table + "] where 1=0");
      EXPECT_EQ(fieldNames(*probe), std::vector<std::string>{"Expr1000"}) << table;
    }
  }
  auto database = jetTargetOpener()(fixture("testV2000.mdb"));
  EXPECT_EQ(failure([&] { database->openCursor("Select 1 from [Orders] where 1=0"); }),
            "The database engine cannot find the input table or query 'Orders'. Make sure it exists and "
            "that its name is spelled correctly.");
  // Jet names hold no "]"; such a probe fails and so reports no table.
  for (const char* probe : {"Select 1 from [Table1]] where 1=0", "Select 1 from [Tab]le1] where 1=0"}) {
    const std::string why = failure([&] { database->openCursor(probe); });
    EXPECT_FALSE(why.empty()) << probe;
  }
}

TEST(JetTarget, TheConversionsTableCheckAnswersThroughTheConnection) {
  SourceConnection source;
  TargetConnection target(jetTargetOpener());
  target.open(fixture("testV1997.mdb"));
  Tcc tcc(source, target);
  EXPECT_TRUE(tcc.tableexists(target.accdataset(), "Table3"));
  EXPECT_TRUE(tcc.tableexists(target.accdataset(), "TABLE3"));
  EXPECT_FALSE(tcc.tableexists(target.accdataset(), "Table9"));
  EXPECT_FALSE(tcc.tableexists(target.accdataset(), "Table3]"));
}

// mdb-schema's field names of a table, in order.
std::vector<std::string> mdbSchemaFields(const std::string& path, const std::string& table) {
  bool ok = false;
  const std::string schema =
      test::runCommand("mdb-schema -T " + test::shellQuote(table) + " " + test::shellQuote(path) + " access", ok);
  EXPECT_TRUE(ok) << "mdb-schema failed on " << path << " " << table;
  std::vector<std::string> names;
  std::size_t at = 0;
  while ((at = schema.find("\n\t[", at)) != std::string::npos) {
    const std::size_t end = schema.find("]\t", at + 3);
    if (end == std::string::npos) break;
    names.push_back(schema.substr(at + 3, end - at - 3));
    at = end;
  }
  return names;
}

TEST(JetTarget, SelectAllFieldsAreTheColumnsMdbSchemaShows) {
#ifdef _WIN32
  GTEST_SKIP() << "mdbtools is not available under Wine";
#else
  bool ok = false;
  test::runCommand("command -v mdb-schema >/dev/null", ok);
  if (!ok) GTEST_SKIP() << "mdbtools is not installed";
  for (const auto& name : test::accessFixtures()) {
    auto database = jetTargetOpener()(fixture(name));
    for (const auto& table : userTables(fixture(name))) {
      SCOPED_TRACE(name + " " + table);
      auto rowset = database->openCursor("select * from [" + table + "] where 1=0");
      EXPECT_EQ(fieldNames(*rowset), mdbSchemaFields(fixture(name), table));
    }
  }
#endif
}

TEST(JetTarget, SelectListsNamedFieldsAliasesAndConstants) {
  auto database = jetTargetOpener()(fixture("testV1997.mdb"));
  auto rowset = database->openCursor("SELECT e, [B] AS Second, 1, 'x' AS Tag, 2 FROM table1 WHERE 1=0");
  EXPECT_EQ(fieldNames(*rowset), (std::vector<std::string>{"E", "Second", "Expr1000", "Tag", "Expr1001"}));
  EXPECT_TRUE(contains(failure([&] { database->openCursor("select Nope from [Table1] where 1=0"); }),
                       "table 'Table1' has no field 'Nope'"));
  EXPECT_TRUE(contains(failure([&] { database->openCursor("drop table [Table1]"); }), "SELECT"));
}

// Records what the adapter hands to the writing half.
struct RecordingWriter : JetWriter {
  std::vector<std::vector<std::optional<Value>>>* rows;
  std::vector<std::string>* events;
  void execute(const jet::sql::Statement& s) override { events->push_back("execute " + std::to_string(s.index())); }
  void appendRow(const jet::TableDefinition& table, std::vector<std::optional<Value>>& fields) override {
    events->push_back("append " + table.name);
    rows->push_back(fields);
  }
  void beginTransaction() override { events->push_back("begin"); }
  void commitTransaction() override { events->push_back("commit"); }
};

TEST(JetTarget, SetFieldConvertsByNameInAnyCaseAndPostHandsTheRowOver) {
  std::vector<std::vector<std::optional<Value>>> rows;
  std::vector<std::string> events;
  auto database = openJetTarget(fixture("testV2000.mdb"), [&](jet::Database&, bool) {
    auto writer = std::make_unique<RecordingWriter>();
    writer->rows = &rows;
    writer->events = &events;
    return writer;
  });
  auto rowset = database->openCursor("select * from [Table1] where 1=0");
  // Table1: A Text(50), B Text(100), C Byte, D Integer, E Long, F Double,
  // G DateTime, H Currency, I Boolean.
  EXPECT_TRUE(contains(failure([&] { rowset->setField("A", Value::text("x")); }), "no new row"));
  EXPECT_TRUE(contains(failure([&] { rowset->post(); }), "no new row"));

  database->beginTransaction();
  rowset->append();
  rowset->setField("a", Value::text("first"));
  rowset->setField("e", Value::decimal("41.5"));
  rowset->setField("G", Value::text("2026-12-09 23:05:00"));
  rowset->setField("h", Value::real(2.5));
  rowset->setField("i", Value::integer(1));
  EXPECT_EQ(failure([&] { rowset->setField("Nope", Value::integer(1)); }),
            "Item 'Nope' cannot be found in the collection corresponding to the requested name or ordinal "
            "(the rowset of table 'Table1').");
  EXPECT_TRUE(contains(failure([&] { rowset->setField("d", Value::text("abc")); }),
                       "Data type mismatch in field 'D'"));
  rowset->setField("C", Value::integer(7));
  EXPECT_TRUE(contains(failure([&] { rowset->setField("C", Value::integer(300)); }), "field 'C'"));
  rowset->post();
  EXPECT_TRUE(contains(failure([&] { rowset->post(); }), "no new row"));
  rowset->append();
  rowset->setField("B", Value::null());
  rowset->post();
  database->commitTransaction();

  using V = std::optional<Value>;
  const V unset;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<V>{Value::text("first"), unset, unset, unset, Value::integer(42), unset,
                                     Value::dateTime(DateTime{2026, 12, 9, 23, 5, 0, 0}),
                                     Value::decimal("2.5000"), Value::boolean(true)}));
  EXPECT_EQ(rows[1], (std::vector<V>{unset, Value::null(), unset, unset, unset, unset, unset, unset, unset}));
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "append Table1", "append Table1", "commit"}));

  // Constants of the SELECT are not columns and cannot be set.
  auto probe = database->openCursor("Select 1 from [Table1] where 1=0");
  probe->append();
  EXPECT_TRUE(contains(failure([&] { probe->setField("expr1000", Value::integer(1)); }), "cannot be updated"));
}

TEST(JetTarget, StatementsAreCheckedAgainstTheFileAndCarriedOut) {
  // A writable copy: the shared fixtures themselves are read-only files.
  const std::string path = test::joinPath(test::scratchDir(), "target.mdb");
  platform::writeWholeFile(path, platform::readWholeFile(fixture("testV1997.mdb")));
  auto database = jetTargetOpener()(path);

  database->execute("select * from [Table2] where 1=0");
  database->beginTransaction();  // nothing to make durable yet
  database->commitTransaction();
  EXPECT_EQ(failure([&] { database->execute("drop table [Orders]"); }), "Table 'Orders' does not exist.");
  EXPECT_EQ(failure([&] { database->execute("CREATE TABLE [table1] (x long)"); }), "Table 'Table1' already exists.");
  EXPECT_TRUE(contains(failure([&] { database->execute("create index ix on [Orders] (x)"); }), "'Orders'"));
  EXPECT_TRUE(contains(failure([&] { database->execute("select * from [Orders]"); }), "'Orders'"));
  EXPECT_FALSE(failure([&] { database->execute("create tabel x (y long)"); }).empty());

  // What the engine writes is carried out; the rest is refused by name.
  database->execute("create table [New] ([x] long, [t] text(10))");
  auto fresh = database->openCursor("select * from [New] where 1=0");
  database->beginTransaction();
  fresh->append();
  fresh->setField("X", Value::integer(42));
  fresh->setField("t", Value::text("forty-two"));
  fresh->post();
  database->commitTransaction();
  fresh.reset();  // a rowset keeps its database open, as the connection's close knows
  database.reset();
  {
    auto reader = jet::Database::open(path, jet::OpenMode::ReadOnly);
    auto rows = reader.openCursor("New");
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.values(), (std::vector<Value>{Value::integer(42), Value::text("forty-two")}));
    EXPECT_FALSE(rows.next());
  }
  database = jetTargetOpener()(path);
  database->execute("DROP TABLE [table2]");
  EXPECT_TRUE(contains(failure([&] { database->execute("select * from [Table2] where 1=0"); }), "'Table2'"));
  // Indexes in the statement forms the index conversion writes; rows of
  // indexed tables keep them, and a second equal key is refused by name.
  database->execute("create UNIQUE index [PK_NEW] on New (x)");
  database->execute("create index [IX_T] on [New] (t)");
  database->execute("create table [Keyed] ([k] long, [u] text(5), constraint [PK] primary key ([k]), unique ([u]))");
  auto rowset = database->openCursor("select * from [Table1] where 1=0");
  database->beginTransaction();
  rowset->append();
  rowset->setField("A", Value::text("x"));
  rowset->post();
  rowset->append();
  rowset->setField("A", Value::text("x"));
  EXPECT_TRUE(contains(failure([&] { rowset->post(); }), "of table \"Table1\"")) << "the primary key refuses it";
  database->commitTransaction();
  rowset.reset();
  database.reset();
  auto reader = jet::Database::open(path, jet::OpenMode::ReadOnly);
  EXPECT_EQ(reader.definition("New").indexes.size(), 2u);
  const auto keyed = reader.definition("Keyed");
  ASSERT_EQ(keyed.indexes.size(), 2u);
  EXPECT_EQ(keyed.indexes[0].name, "PK");
  EXPECT_EQ(keyed.indexes[0].kind, jet::Index::Kind::PrimaryKey);
  EXPECT_TRUE(keyed.realIndexOf(keyed.indexes[1]).unique);
  for (const char* table : {"New", "Keyed", "Table1"}) EXPECT_TRUE(reader.checkIndexes(table).empty()) << table;
  {
    auto again = jetTargetOpener()(path);
    again->execute("DROP INDEX [ix_t] ON [new]");
    EXPECT_TRUE(contains(failure([&] { again->execute("drop index [IX_T] on [New]"); }), "IX_T"));
  }
  auto after = jet::Database::open(path, jet::OpenMode::ReadOnly);
  ASSERT_EQ(after.definition("New").indexes.size(), 1u);
  EXPECT_EQ(after.definition("New").indexes[0].name, "PK_NEW");
  EXPECT_TRUE(after.checkIndexes("New").empty());
}

TEST(JetTarget, AReadOnlyFileOpensForReadingAndRefusesChanges) {
  const std::string path = fixture("testV1997.mdb");
  try {
    platform::File::open(path, platform::File::Mode::ReadWrite);
    GTEST_SKIP() << "the fixtures are writable for this user";
  } catch (const std::exception&) {
  }
  auto database = jetTargetOpener()(path);
  database->openCursor("select * from [Table1] where 1=0");
  EXPECT_TRUE(contains(failure([&] { database->execute("drop table [Table2]"); }), "read-only"));
}

TEST(JetTarget, OpeningWhatIsNotADatabaseFailsNamingTheFile) {
  const std::string text = test::joinPath(test::scratchDir(), "notes.mdb");
  platform::writeWholeFile(text, std::string(8192, 'x'));
  const std::string missing = test::joinPath(test::scratchDir(), "missing.mdb");
  for (const auto& path : {text, missing}) {
    const std::string why = failure([&] { jetTargetOpener()(path); });
    EXPECT_TRUE(contains(why, path)) << why;
  }
  EXPECT_TRUE(contains(failure([&] { jetTargetOpener()(text); }), "not")) << "says what is wrong";
}

}  // namespace
}  // namespace fennick
