// Indexes written by the engine: trees of many pages built by appends in
// random key order, rows added to the indexed tables of real Access files,
// indexes created on filled tables, and the refusals that must leave the
// file as it was. Judged by our checker, by mdbtools (whose mdb-sql looks
// rows up through the index pages) and by our reader.
#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>

#include "database_state.h"
#include "fixtures.h"
#include "index_btree.h"
#include "index_maintenance.h"
#include "jet/database.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using test::readFileBytes;
using test::shellQuote;

using Case = test::TemplateCase;
constexpr auto& kCases = test::kTemplateCases;
using test::freshCopy;

std::string copyTo(const std::string& name, const std::string& bytes) {
  const std::string path = test::joinPath(test::scratchDir(), name + ".mdb");
  platform::removeFile(path + ".fjournal");
  platform::removeFile(path + ".findex");
  platform::writeWholeFile(path, bytes);
  return path;
}

std::string checkReport(const Database& db, const std::string& table) {
  std::string report;
  for (const auto& p : db.checkIndexes(table)) report += p + "\n";
  return report;
}

// mdb-sql's answer without its leading blank lines.
std::string query(const std::string& file, const std::string& sql) {
  std::string answer = test::mdbtool("echo " + shellQuote(sql) + " | mdb-sql -HFP -d '|' " + shellQuote(file));
  answer.erase(0, answer.find_first_not_of('\n'));
  return answer;
}

std::string itemName(int id) { return "Item " + std::to_string(id * 7919 % 1000003); }

class Indexes : public ::testing::TestWithParam<Case> {};

// 200,000 rows in random key order into a table with a unique Long key, a
// Text(40) index and a two-column index: trees several levels deep.
TEST_P(Indexes, ManyRowsInRandomOrderKeepEveryIndexRight) {
  constexpr int kRows = 200000;
  const std::string file = freshCopy(GetParam(), "index_many");
  {
    auto db = Database::open(file, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Items", {{"Id", ColumnType::Long}, {"Name", ColumnType::Text, 40}, {"Grp", ColumnType::Long},
                             {"Sub", ColumnType::Text, 10}});
    db.createIndex("Items", {"PrimaryKey", {{"Id"}}, false, true});
    db.createIndex("Items", {"ByName", {{"Name"}}});
    db.createIndex("Items", {"ByGroup", {{"Grp"}, {"Sub", false}}});
    std::vector<int> ids(kRows);
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), std::mt19937(5));
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const int id = ids[i];
      db.appendRow("Items", {Value::integer(id), Value::text(itemName(id)), Value::integer(id % 97),
                             id % 5 == 0 ? Value::null() : Value::text("s" + std::to_string(id % 13))});
      if (i % 25000 == 24999) {
        db.commit();
        // Each batch of held entries goes into a tree that already holds
        // the earlier ones: splits all over the tree, not just at its end.
        db.flush();
        db.beginTransaction();
      }
    }
    db.commit();
  }
  auto db = Database::open(file, OpenMode::ReadOnly);
  EXPECT_EQ(checkReport(db, "Items"), "");
  for (const auto& t : db.tables()) EXPECT_EQ(checkReport(db, t.name), "") << t.name;
  // Our reader: the rows the primary key's entries point at.
  auto rows = db.openCursor("Items");
  int seen = 0;
  while (rows.next()) ++seen;
  EXPECT_EQ(seen, kRows);
  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(test::mdbtool("mdb-count " + shellQuote(file) + " Items"), std::to_string(kRows) + "\n");
  const std::string schema = test::mdbtool("mdb-schema --indexes --no-relations -T Items " + shellQuote(file) + " postgres");
  EXPECT_NE(schema.find("PRIMARY KEY (\"id\")"), std::string::npos) << schema;
  EXPECT_NE(schema.find("CREATE INDEX \"items_byname_idx\" ON \"items\" (\"name\");"), std::string::npos) << schema;
  EXPECT_NE(schema.find("CREATE INDEX \"items_bygroup_idx\" ON \"items\" (\"grp\", \"sub\" DESC);"), std::string::npos) << schema;
  for (int id : {1, 777, 123457, kRows}) {
    EXPECT_EQ(query(file, "select Name from Items where Id = " + std::to_string(id)), itemName(id) + "\n") << id;
    EXPECT_EQ(query(file, "select Id from Items where Name = '" + itemName(id) + "'"), std::to_string(id) + "\n") << id;
  }
}

// A unique index created on a filled table; a duplicate refused at create
// time and at append time, each leaving the file byte for byte as it was;
// dropping an index shared by two logical ones keeps the stored one.
TEST_P(Indexes, RefusalsLeaveTheFileAsItWas) {
  const std::string file = freshCopy(GetParam(), "index_refusal");
  {
    auto db = Database::open(file, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("People", {{"Id", ColumnType::Long}, {"Code", ColumnType::Text, 12}, {"Team", ColumnType::Integer}});
    for (int i = 0; i < 3000; ++i)
      db.appendRow("People", {Value::integer(i), i % 10 == 0 ? Value::null() : Value::text("C" + std::to_string(i)),
                              Value::integer(i % 7)});
    db.createIndex("People", {"ById", {{"Id", false}}, true});
    db.createIndex("People", {"ByCode", {{"Code"}}, true, false, true});
    db.createIndex("People", {"ByTeam", {{"Team"}}});
    db.createIndex("People", {"ByTeamToo", {{"Team"}}});
    db.commit();
  }
  const std::string before = readFileBytes(file);
  {
    auto db = Database::open(file, OpenMode::ReadWrite);
    EXPECT_EQ(db.definition("People").realIndexes.size(), 3u);  // ByTeam and ByTeamToo share one
    db.beginTransaction();
    try {
      db.createIndex("People", {"ByTeamUnique", {{"Team"}}, true});
      ADD_FAILURE() << "a unique index over duplicates was created";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("ByTeamUnique"), std::string::npos) << e.what();
    }
    try {
      db.appendRow("People", {Value::integer(42), Value::text("new"), Value::integer(1)});
      ADD_FAILURE() << "a duplicate Id was added";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("\"ById\" of table \"People\""), std::string::npos) << e.what();
    }
    EXPECT_THROW(db.appendRow("People", {Value::integer(5000), Value::text("C7"), Value::integer(1)}), Error);
    // NULL codes are no duplicates in a unique ignore-nulls index.
    db.commit();
  }
  EXPECT_EQ(readFileBytes(file), before);
  {
    auto db = Database::open(file, OpenMode::ReadWrite);
    db.beginTransaction();
    db.appendRow("People", {Value::integer(5000), Value::null(), Value::integer(1)});
    db.appendRow("People", {Value::integer(-5), Value::text("Z"), Value::null()});
    db.dropIndex("People", "ByTeamToo");
    db.commit();
    EXPECT_EQ(checkReport(db, "People"), "");
    const auto def = db.definition("People");
    EXPECT_EQ(def.indexes.size(), 3u);
    EXPECT_EQ(def.realIndexes.size(), 3u);
    db.beginTransaction();
    db.dropIndex("People", "ByTeam");
    db.commit();
    EXPECT_EQ(db.definition("People").realIndexes.size(), 2u);
    EXPECT_EQ(checkReport(db, "People"), "");
  }
  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(test::mdbtool("mdb-count " + shellQuote(file) + " People"), "3002\n");
  EXPECT_EQ(query(file, "select Code from People where Id = 2999"), "C2999\n");
  EXPECT_EQ(query(file, "select Id from People where Code = 'Z'"), "-5\n");
  const std::string schema = test::mdbtool("mdb-schema --indexes --no-relations -T People " + shellQuote(file) + " postgres");
  EXPECT_NE(schema.find("CREATE UNIQUE INDEX \"people_bycode_idx\" ON \"people\" (\"code\");"), std::string::npos) << schema;
  EXPECT_NE(schema.find("CREATE UNIQUE INDEX \"people_byid_idx\" ON \"people\" (\"id\" DESC);"), std::string::npos) << schema;
  EXPECT_EQ(schema.find("people_byteam"), std::string::npos) << schema;
}

// Removing entries one by one (as dropping a table removes its catalogue
// entries): the tree stays well formed at every size down to an empty root.
TEST_P(Indexes, RemovedEntriesLeaveAWellFormedTree) {
  constexpr int kRows = 6000;
  const std::string file = freshCopy(GetParam(), "index_remove");
  auto db = Database::open(file, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("T", {{"Id", ColumnType::Long}, {"Name", ColumnType::Text, 30}});
  db.createIndex("T", {"ByName", {{"Name"}}});
  for (int i = 0; i < kRows; ++i) db.appendRow("T", {Value::integer(i), Value::text(itemName(i))});
  db.commit();
  ASSERT_EQ(db.checkIndexes("T"), std::vector<std::string>{});  // also puts the held entries into the tree
  const auto def = db.definition("T");
  const RealIndex& real = def.realIndexes.at(0);
  const MaintainedIndex index = maintainedIndexes(def).at(0);
  DatabaseState& state = DatabaseInternals::of(db);
  std::vector<std::pair<std::vector<std::uint8_t>, RowLocation>> entries;
  {
    auto rows = db.openCursor("T");
    std::vector<std::uint8_t> key;
    while (rows.next()) {
      encodeRowKey(GetParam().version, index.parts, rows.values(), key);
      entries.emplace_back(key, rows.location());
    }
  }
  std::shuffle(entries.begin(), entries.end(), std::mt19937(9));
  db.beginTransaction();
  IndexTree tree(state.pager, real.firstPage, real.usageMapPointer, index.what, state.indexPages);
  EXPECT_FALSE(tree.remove(entries[0].first, {entries[0].second.page, static_cast<std::uint16_t>(entries[0].second.row + 1)}));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_TRUE(tree.remove(entries[i].first, entries[i].second)) << i;
    EXPECT_FALSE(tree.containsKey(entries[i].first));
    if (i % 1000 == 999 || i + 1 == entries.size()) {
      // Only the removed rows' entries are missing: no problem of shape.
      const auto problems = db.checkIndexes("T");
      const std::string missing = std::to_string(i + 1) + " rows have no entry";
      for (const auto& p : problems)
        EXPECT_TRUE(p.find(missing) != std::string::npos || p.find("entries for") != std::string::npos) << p;
      EXPECT_EQ(indexEntries(state.pager, real.firstPage, index.what).size(), entries.size() - i - 1);
    }
  }
  db.commit();
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Indexes, ::testing::ValuesIn(kCases));

// A value of `type` for added row `i`, different from row to row.
Value addedValue(const Column& c, int i) {
  switch (c.type) {
    case ColumnType::Boolean: return Value::boolean(i % 2 == 0);
    case ColumnType::Byte: return Value::integer(200 + i % 50);
    case ColumnType::Integer: return Value::integer(20000 + i);
    case ColumnType::Long: return Value::integer(1000000 + i);
    case ColumnType::Single:
    case ColumnType::Double: return Value::real(1e6 + i * 0.5);
    case ColumnType::DateTime: return Value::dateTime({2031, 1 + i % 12, 1 + i % 28, i % 24, 0, 0});
    case ColumnType::Text: return Value::text(("zq" + std::to_string(i)).substr(0, c.textLength));
    case ColumnType::Currency:
    case ColumnType::Numeric: return Value::decimal(std::to_string(70000 + i));
    case ColumnType::Guid: {
      char guid[40];
      std::snprintf(guid, sizeof guid, "{6F9619FF-8B86-D011-B42D-%012X}", i);
      return Value::text(guid);
    }
    default: return Value::null();
  }
}

// Rows added to every indexed user table of the Access files keep their
// indexes right (including Access's own multi-page trees with a tail
// leaf), and mdbtools still reads them.
TEST(IndexesOfAccessFiles, RowsAddedKeepTheirIndexesRight) {
  for (const std::string name : {"compIndexTestV2000.mdb", "compIndexTestV1997.mdb", "indexTestV2000.mdb",
                                 "indexTestV1997.mdb", "testV2000.mdb", "testV1997.mdb", "fixedTextTestV2000.mdb"}) {
    SCOPED_TRACE(name);
    const std::string file = copyTo("index_fixture_" + name, readFileBytes(test::accessFixturePath(name)));
    std::vector<std::pair<std::string, std::uint32_t>> grown;
    {
      auto db = Database::open(file, OpenMode::ReadWrite);
      db.beginTransaction();
      for (const auto& t : db.tables()) {
        if (t.system) continue;
        const auto def = db.definition(t.name);
        if (def.realIndexes.empty()) continue;
        const int rows = def.rowCount > 100 ? 700 : 40;  // enough to split the larger trees again
        // Foreign keys stay empty (no related row is needed then), unless the
        // column is also a key of its own table.
        std::set<std::string> foreign, keys;
        for (const auto& ix : def.indexes)
          for (const auto& c : def.realIndexOf(ix).columns)
            (ix.kind == Index::Kind::ForeignKey ? foreign : keys).insert(c.columnName);
        for (int i = 0; i < rows; ++i) {
          std::vector<Value> row;
          for (const auto& c : def.columns)
            row.push_back(c.autoNumber || (foreign.count(c.name) && !keys.count(c.name)) ? Value::null()
                                                                                         : addedValue(c, i));
          db.appendRow(t.name, row);
        }
        grown.emplace_back(t.name, def.rowCount + rows);
      }
      db.commit();
    }
    ASSERT_FALSE(grown.empty());
    auto db = Database::open(file, OpenMode::ReadOnly);
    for (const auto& t : db.tables()) EXPECT_EQ(checkReport(db, t.name), "") << t.name;
    if (!test::mdbtoolsMissing().empty()) continue;
    for (const auto& [table, count] : grown)
      EXPECT_EQ(test::mdbtool("mdb-count " + shellQuote(file) + " " + shellQuote(table)), std::to_string(count) + "\n") << table;
  }
}

}  // namespace
}  // namespace fennick::jet
