// Every fixture opens and every row of every table reads, in both the
// native build and under Wine; the header settings come out as Access wrote
// them.
#include <gtest/gtest.h>

#include <set>

#include "bytes.h"
#include "data_page.h"
#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
#include "row_layout.h"
#include "usage_map.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

TEST(JetRead, EveryFixtureOpensAndEveryRowReads) {
  const auto fixtures = test::accessFixtures();
  ASSERT_FALSE(fixtures.empty());
  for (const auto& name : fixtures) {
    SCOPED_TRACE(name);
    const Database db = Database::open(test::accessFixturePath(name), OpenMode::ReadOnly);
    EXPECT_EQ(db.info().pageSize, db.info().version == FormatVersion::Jet3 ? 2048u : 4096u);
    EXPECT_EQ(db.info().codePage, 1252);
    EXPECT_EQ(db.info().collation, 0x409);
    EXPECT_FALSE(db.tables().empty());
    for (const auto& t : db.tables()) {
      RowCursor rows = db.openCursor(t.name);
      while (rows.next()) ASSERT_EQ(rows.values().size(), rows.definition().columns.size());
    }
  }
}

// The stored root of every index is an index page (node 0x03 or leaf 0x04),
// as the file itself says, so the index layers can start their walk there.
TEST(JetRead, IndexRootsAreIndexPages) {
  for (const auto& name : test::accessFixtures()) {
    SCOPED_TRACE(name);
    const std::string bytes = test::readFileBytes(test::accessFixturePath(name));
    const Database db = Database::open(test::accessFixturePath(name), OpenMode::ReadOnly);
    for (const auto& t : db.tables()) {
      const TableDefinition def = db.definition(t.name);
      for (const auto& ix : def.indexes) EXPECT_LT(ix.realIndex, def.realIndexes.size());
      for (const auto& ri : def.realIndexes) {
        ASSERT_LT(std::uint64_t(ri.firstPage) * db.info().pageSize, bytes.size()) << t.name;
        const auto type = std::uint8_t(bytes[std::size_t(ri.firstPage) * db.info().pageSize]);
        EXPECT_TRUE(type == 0x03 || type == 0x04) << t.name << " index " << ri.number << " page type " << int(type);
        EXPECT_FALSE(ri.columns.empty()) << t.name;
      }
    }
  }
}

// Each Memo / OLE column of Access's tables lists its own page maps after
// the index names, and the LVAL page of every value stored out of row is in
// that column's used map (the writer relies on both).
TEST(JetRead, LongValueColumnsListTheirOwnPageMaps) {
  std::size_t checked = 0;
  for (const auto& name : test::accessFixtures()) {
    SCOPED_TRACE(name);
    Database db = Database::open(test::accessFixturePath(name), OpenMode::ReadOnly);
    Pager& pager = DatabaseInternals::of(db).pager;
    for (const auto& t : db.tables()) {
      const TableDefinition def = db.definition(t.name);
      std::vector<std::pair<std::size_t, std::set<std::uint32_t>>> columns;
      for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const Column& c = def.columns[i];
        if (c.type != ColumnType::Memo && c.type != ColumnType::Ole) continue;
        const ColumnUsageMaps* maps = nullptr;
        for (const auto& m : def.columnUsageMaps)
          if (m.columnNumber == c.number) maps = &m;
        ASSERT_NE(maps, nullptr) << t.name << "." << c.name;
        std::set<std::uint32_t> used;
        for (UsageMapCursor pages(pager, maps->usedMapPointer, c.name); auto p = pages.next();) used.insert(*p);
        columns.emplace_back(i, std::move(used));
      }
      if (columns.empty()) continue;
      std::vector<FieldSlice> fields;
      for (UsageMapCursor pages(pager, def.usageMapPointer, t.name); auto p = pages.next();) {
        const PageRef page = pager.page(*p);
        if (page->type() != kDataPage) continue;
        const DataPageView view(page, pager.format(), pager.path());
        if (view.owner() != def.definitionPage) continue;
        for (std::uint16_t r = 0; r < view.rowCount(); ++r) {
          const RowSlot slot = view.slot(r);
          if (slot.deleted || slot.overflow) continue;
          const auto row = view.rowBytes(slot);
          splitRow(pager.format(), def, row, fields, RowPlace{pager.path(), t.name, *p, r});
          for (const auto& [i, used] : columns) {
            const FieldSlice& f = fields[i];
            if (f.isNull || f.length < 12 || (row[f.offset + 3] & 0x80)) continue;
            const std::uint32_t lvalPage = loadU32(row.data() + f.offset + 4) >> 8;
            EXPECT_EQ(used.count(lvalPage), 1u) << t.name << "." << def.columns[i].name << " page " << lvalPage;
            ++checked;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 100u);
}

TEST(JetRead, FormatAndCreationDateFromTheHeader) {
  const Database jet3 = Database::open(test::accessFixturePath("testV1997.mdb"), OpenMode::ReadOnly);
  EXPECT_EQ(jet3.info().version, FormatVersion::Jet3);
  EXPECT_FALSE(jet3.info().created.has_value());
  const Database jet4 = Database::open(test::accessFixturePath("testV2000.mdb"), OpenMode::ReadOnly);
  EXPECT_EQ(jet4.info().version, FormatVersion::Jet4);
  ASSERT_TRUE(jet4.info().created.has_value());
  EXPECT_EQ(jet4.info().created->year, 2004);
}

TEST(JetRead, RowLocationsPointAtDistinctDataRows) {
  const Database db = Database::open(test::accessFixturePath("overflowTestV2000.mdb"), OpenMode::ReadOnly);
  for (const auto& t : db.tables()) {
    RowCursor rows = db.openCursor(t.name);
    std::vector<RowLocation> seen;
    while (rows.next()) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), rows.location()), 0) << t.name;
      seen.push_back(rows.location());
    }
  }
}

// Seeking to where a scan found each row gives the same row back, moved
// rows included; a slot of another table or a deleted one gives none.
TEST(JetRead, SeekReadsTheRowFiledAtALocation) {
  for (const char* name : {"overflowTestV2000.mdb", "overflowTestV1997.mdb", "delTestV2000.mdb"}) {
    SCOPED_TRACE(name);
    const Database db = Database::open(test::accessFixturePath(name), OpenMode::ReadOnly);
    for (const auto& t : db.tables()) {
      RowCursor scan = db.openCursor(t.name);
      RowCursor other = db.openCursor(t.name);
      while (scan.next()) {
        ASSERT_TRUE(other.seek(scan.location())) << t.name;
        EXPECT_EQ(other.values(), scan.values()) << t.name;
      }
      EXPECT_FALSE(other.seek(RowLocation{2, 0}));  // the catalogue's definition page
    }
  }
}

TEST(JetRead, CursorOutlivesTheDatabaseHandle) {
  std::optional<RowCursor> rows;
  {
    const Database db = Database::open(test::accessFixturePath("testV2000.mdb"), OpenMode::ReadOnly);
    rows.emplace(db.openCursor("Table1"));
  }
  EXPECT_TRUE(rows->next());
}

TEST(JetRead, UnknownTableIsNamedInTheError) {
  const Database db = Database::open(test::accessFixturePath("testV2000.mdb"), OpenMode::ReadOnly);
  try {
    db.definition("NoSuchTable");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchTable"), std::string::npos);
  }
}

}  // namespace
}  // namespace fennick::jet
