// Dropping tables: the catalogue rows and their index entries go, the pages
// come back for the next table, mdbtools and our reader see the rest as it
// was; refusals change nothing. Also: the global map of every Access file
// marks no page a table owns as free, which is what makes reusing its free
// pages safe.
#include <gtest/gtest.h>

#include <set>

#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
#include "page_allocator.h"
#include "platform/file.h"
#include "test_support.h"
#include "usage_map.h"

namespace fennick::jet {
namespace {

std::string copyOf(const std::string& source, const std::string& name) {
  const std::string path = test::joinPath(test::scratchDir(), name);
  platform::writeWholeFile(path, test::readFileBytes(source));
  return path;
}

const char* const kTemplates[] = {"resources/mdb2000", "resources/mdb95"};

const std::vector<NewColumn> kColumns = {
    {"Id", ColumnType::Long, 0}, {"Name", ColumnType::Text, 40}, {"Note", ColumnType::Memo, 0}};

void fill(Database& db, const std::string& table, int rows) {
  db.createTable(table, kColumns);
  for (int i = 0; i < rows; ++i)
    db.appendRow(table, {Value::integer(i), Value::text(table + " row " + std::to_string(i)),
                         // every tenth row's note on long-value pages
                         Value::text(std::string(i % 10 == 0 ? 3000 : 10, static_cast<char>('a' + i % 26)))});
}

// The catalogue's indexes hold exactly its rows' entries, in order.
void expectCatalogueIndexesMatchRows(Database& db) {
  for (const char* table : {"MSysObjects", "MSysACEs"}) EXPECT_EQ(db.checkIndexes(table), std::vector<std::string>{}) << table;
}

TEST(TableDropper, TheTableGoesAndItsPagesServeTheNextOne) {
  for (const char* source : kTemplates) {
    SCOPED_TRACE(source);
    const std::string path = copyOf(test::sourcePath(source), "drop.mdb");
    std::uint32_t goneDefinition = 0;
    std::uint64_t pagesBefore = 0;
    {
      auto db = Database::open(path, OpenMode::ReadWrite);
      db.beginTransaction();
      fill(db, "Gone", 700);  // several data pages, long-value pages and index pages
      db.createIndex("Gone", NewIndex{"ByName", {{"Name", true}}, false, false, false, false});
      db.createIndex("Gone", NewIndex{"PrimaryKey", {{"Id", true}}, true, true, false, true});
      fill(db, "Kept", 20);
      db.commit();
      goneDefinition = db.table("Gone").definitionPage;
      pagesBefore = db.info().pageCount;
      db.beginTransaction();
      db.dropTable("gone");
      db.commit();
      EXPECT_THROW(db.table("Gone"), Error);
      expectCatalogueIndexesMatchRows(db);

      db.beginTransaction();
      fill(db, "Next", 700);
      db.createIndex("Next", NewIndex{"ByName", {{"Name", true}}, false, false, false, false});
      db.createIndex("Next", NewIndex{"PrimaryKey", {{"Id", true}}, true, true, false, true});
      db.commit();
      EXPECT_EQ(db.checkIndexes("Next"), std::vector<std::string>{});
      EXPECT_EQ(db.info().pageCount, pagesBefore) << "the file grew instead of taking the pages back";
      EXPECT_EQ(db.table("Next").definitionPage, goneDefinition);
      expectCatalogueIndexesMatchRows(db);
    }
    auto db = Database::open(path, OpenMode::ReadOnly);
    int n = 0;
    for (auto rows = db.openCursor("Next"); rows.next(); ++n)
      EXPECT_EQ(rows.values()[1].asText(), "Next row " + std::to_string(n));
    EXPECT_EQ(n, 700);
    if (test::mdbtoolsMissing().empty()) {
      EXPECT_EQ(test::mdbtool("mdb-tables -1 " + test::shellQuote(path)), "Kept\nNext\n");
      EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(path) + " Next"), "700\n");
      EXPECT_EQ(test::mdbtool("mdb-count " + test::shellQuote(path) + " Kept"), "20\n");
    }
  }
}

TEST(TableDropper, RefusalsChangeNothing) {
  const std::string related = copyOf(test::accessFixturePath("indexTestV2000.mdb"), "related.mdb");
  const std::string before = test::readFileBytes(related);
  {
    auto db = Database::open(related, OpenMode::ReadWrite);
    db.beginTransaction();
    const auto message = [&](const char* table) {
      try {
        db.dropTable(table);
      } catch (const Error& e) {
        return std::string(e.what());
      }
      return std::string();
    };
    EXPECT_EQ(message("Table1"),
              "Cannot drop table 'Table1': it takes part in one or more relationships. Delete its relationships first.");
    EXPECT_EQ(message("Orders"), "Table 'Orders' does not exist.");
    EXPECT_EQ(message("MSysObjects"), "The system table 'MSysObjects' cannot be dropped.");
    db.rollback();
  }
  EXPECT_EQ(test::readFileBytes(related), before);
}

// Reusing the pages the global map marks free is only safe if Access keeps
// that map exact: no page any table's maps record may read as free.
TEST(TableDropper, AccessFilesMarkNoOwnedPageFree) {
  for (const char* name : {"testV1997.mdb", "testV2000.mdb", "bigIndexTestV2000.mdb", "delTestV2000.mdb",
                           "overflowTestV2000.mdb", "indexTestV1997.mdb", "test2V2000.mdb"}) {
    auto db = Database::open(test::accessFixturePath(name), OpenMode::ReadOnly);
    Pager& pager = DatabaseInternals::of(db).pager;
    PageAllocator allocator(pager);
    for (const auto& t : db.tables()) {
      const TableDefinition def = db.definition(t.name);
      std::vector<std::uint32_t> maps = {def.usageMapPointer, def.freeSpaceMapPointer};
      for (const auto& index : def.realIndexes) maps.push_back(index.usageMapPointer);
      EXPECT_FALSE(allocator.isFree(def.definitionPage)) << name << " " << t.name;
      for (const std::uint32_t map : maps)
        for (UsageMapCursor pages(pager, map, t.name); auto page = pages.next();)
          EXPECT_FALSE(allocator.isFree(*page)) << name << " " << t.name << " page " << *page;
    }
  }
}

}  // namespace
}  // namespace fennick::jet
