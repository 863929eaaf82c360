// What Jet enforces on insert beyond the row's shape: Required and
// AllowZeroLength as the real fixtures' stored properties give them (both
// property formats), and their refusals with Jet's messages.
#include <gtest/gtest.h>

#include "column_properties.h"
#include "core/utf.h"
#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
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

}  // namespace
}  // namespace fennick::jet
