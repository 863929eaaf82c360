// What Jet enforces on insert beyond the row's shape: Required and
// AllowZeroLength as the real fixtures' stored properties give them (both
// property formats), autonumbers in Access's tables, enforced and
// unenforced relationships; every refusal leaves the file as it was.
#include <gtest/gtest.h>

#include "column_properties.h"
#include "core/utf.h"
#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
#include "platform/file.h"
#include "row_rules.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

// The stored properties of a table, as its MSysObjects row holds them.
Bytes propertiesOf(Database& db, const std::string& table) {
  const auto id = db.table(table).definitionPage;
  auto rows = db.openCursor("MSysObjects");
  const auto& columns = rows.definition().columns;
  std::size_t idAt = 0, propertiesAt = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name == "Id") idAt = i;
    if (columns[i].name == "LvProp") propertiesAt = i;
  }
  while (rows.next())
    if (rows.values()[idAt].asInteger() == id) return rows.values()[propertiesAt].asBytes();
  return {};
}

TEST(RowRules, ColumnRulesFromTheStoredPropertiesOfAccessFiles) {
  struct Case {
    const char* file;
    const char* table;
    const char* column;
    bool required, allowZeroLength;
  };
  const Case cases[] = {
      {"fixedTextTestV2000.mdb", "users", "c_user_login", true, true},  // no AllowZeroLength stored: allowed
      {"testV2000.mdb", "Table1", "A", false, false},
      {"testV2000.mdb", "Table2", "column1", false, true},
      {"testV1997.mdb", "Table1", "A", false, false},  // the Jet 3 form of the blob
      {"testV1997.mdb", "Table2", "column7", false, true},
  };
  for (const Case& c : cases) {
    auto db = Database::open(test::accessFixturePath(c.file), OpenMode::ReadOnly);
    const auto rules = readColumnRules(propertiesOf(db, c.table), db.info().codePage);
    const auto found = rules.find(asciiLower(c.column));
    ASSERT_NE(found, rules.end()) << c.file << " " << c.table << "." << c.column;
    EXPECT_EQ(found->second.required, c.required) << c.file << " " << c.table << "." << c.column;
    EXPECT_EQ(found->second.allowZeroLength, c.allowZeroLength) << c.file << " " << c.table << "." << c.column;
  }
  EXPECT_TRUE(readColumnRules(Bytes{'M', 'R', '2'}, 1252).empty());
  EXPECT_TRUE(readColumnRules(Bytes{'X', 'Y', 'Z', 0, 9, 9, 9}, 1252).empty());
}

TEST(RowRules, RowsBreakingTheStoredRulesAreRefusedWithJetsMessages) {
  const auto refusal = [](const char* file, const char* table, const std::vector<std::pair<const char*, Value>>& set) {
    auto db = Database::open(test::accessFixturePath(file), OpenMode::ReadOnly);
    const TableDefinition def = db.definition(table);
    std::vector<Value> values(def.columns.size(), Value::text("x"));
    for (std::size_t i = 0; i < def.columns.size(); ++i)
      if (def.columns[i].type != ColumnType::Text && def.columns[i].type != ColumnType::Memo) values[i] = Value::integer(1);
    for (const auto& [name, value] : set)
      for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name == name) values[i] = value;
    try {
      checkRowRules(DatabaseInternals::shared(db), def, values);
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(refusal("fixedTextTestV2000.mdb", "users", {{"c_user_login", Value::null()}}),
            "The field 'users.c_user_login' cannot contain a Null value because the Required property for this field "
            "is set to True. Enter a value in this field.");
  EXPECT_EQ(refusal("testV2000.mdb", "Table1", {{"A", Value::text("")}}), "Field 'Table1.A' cannot be a zero-length string.");
  EXPECT_EQ(refusal("testV2000.mdb", "Table2", {{"column1", Value::text("")}}), "");
  EXPECT_EQ(refusal("testV2000.mdb", "Table1", {{"A", Value::null()}}), "");
}

std::string copyOf(const char* fixture) {
  const std::string path = test::joinPath(test::scratchDir(), fixture);
  platform::writeWholeFile(path, test::readFileBytes(test::accessFixturePath(fixture)));
  return path;
}

// Appends the row in a transaction of its own; the refusal's message, or "".
std::string appendAlone(const std::string& path, const char* table, const std::vector<Value>& row) {
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  try {
    db.appendRow(table, row);
  } catch (const Error& e) {
    db.commit();  // whatever the refused row touched would reach the file now
    return e.what();
  }
  db.commit();
  return "";
}

TEST(RowRules, MergesIntoAccessTablesFollowJetsRules) {
  // Autonumbers: given numbers are kept and the counter moves past them.
  for (const char* fixture : {"testV2000.mdb", "testV1997.mdb"}) {
    SCOPED_TRACE(fixture);
    const std::string path = copyOf(fixture);
    for (const auto& row : std::vector<std::vector<Value>>{{Value::null(), Value::text("one")},
                                                           {Value::null(), Value::text("two")},
                                                           {Value::integer(10), Value::text("ten")},
                                                           {Value::null(), Value::text("eleven")}})
      EXPECT_EQ(appendAlone(path, "Table3", row), "");
    const std::string before = test::readFileBytes(path);
    EXPECT_EQ(appendAlone(path, "Table3", {Value::null(), Value::text("")}),
              "Field 'Table3.b' cannot be a zero-length string.");
    EXPECT_NE(appendAlone(path, "Table3", {Value::integer(2), Value::text("again")}).find("already holds the key"),
              std::string::npos);
    EXPECT_EQ(test::readFileBytes(path), before) << "a refused row changed the file";
    auto db = Database::open(path, OpenMode::ReadOnly);
    std::vector<std::int64_t> numbers;
    for (auto rows = db.openCursor("Table3"); rows.next();) numbers.push_back(rows.values()[0].asInteger());
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 2, 10, 11}));
    EXPECT_EQ(db.checkIndexes("Table3"), std::vector<std::string>{});
    if (test::mdbtoolsMissing().empty()) {
      EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(path) + " Table3"), "4\n");
    }
  }

  // Required fields.
  {
    const std::string path = copyOf("fixedTextTestV2000.mdb");
    const std::string before = test::readFileBytes(path);
    std::vector<Value> user = {Value::integer(77), Value::null(), Value::text("p"), Value::text("s"), Value::text("n"),
                               Value::integer(0), Value::integer(0), Value::integer(0), Value::text("y"),
                               Value::dateTime(DateTime{2024, 1, 2, 3, 4, 5, 0})};
    EXPECT_EQ(appendAlone(path, "users", user),
              "The field 'users.c_user_login' cannot contain a Null value because the Required property for this "
              "field is set to True. Enter a value in this field.");
    EXPECT_EQ(test::readFileBytes(path), before);
    user[1] = Value::text("login");
    EXPECT_EQ(appendAlone(path, "users", user), "");
  }

  // Relationships: Table2Table1 is enforced; a second one, made here without
  // enforcement, is left alone.
  const std::string path = copyOf("indexTestV2000.mdb");
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.appendRow("MSysRelationships", {Value::text("LooseTable1"), Value::integer(2), Value::integer(1), Value::integer(0),
                                       Value::text("Table1"), Value::text("otherfk3"), Value::text("Table2"),
                                       Value::text("id")});
    db.commit();
  }
  const auto table1 = [](std::int64_t id, std::optional<std::int64_t> fk1, std::int64_t fk3) {
    return std::vector<Value>{Value::integer(id), fk1 ? Value::integer(*fk1) : Value::null(), Value::null(),
                              Value::text("added"), Value::integer(fk3)};
  };
  const std::string before = test::readFileBytes(path);
  EXPECT_EQ(appendAlone(path, "Table1", table1(20, 7, 0)),
            "You cannot add or change a record because a related record is required in table 'Table2' "
            "(relationship 'Table2Table1' from table 'Table1').");
  EXPECT_EQ(test::readFileBytes(path), before);
  EXPECT_EQ(appendAlone(path, "Table1", table1(21, 2, 999)), "");  // otherfk3 has no partner: not enforced
  EXPECT_EQ(appendAlone(path, "Table1", table1(22, std::nullopt, 0)), "");  // no key, no partner needed
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.appendRow("Table2", {Value::integer(7), Value::text("seven")});
    db.appendRow("Table1", table1(23, 7, 0));  // its partner came in the same transaction
    db.commit();
    for (const char* table : {"Table1", "Table2"}) EXPECT_EQ(db.checkIndexes(table), std::vector<std::string>{});
  }
  if (test::mdbtoolsMissing().empty()) {
    EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(path) + " Table1"), "7\n");
    EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(path) + " Table2"), "4\n");
  }
}

}  // namespace
}  // namespace fennick::jet
