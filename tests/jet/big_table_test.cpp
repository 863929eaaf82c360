// Large tables and Jet's limits. A 100,000-row table in both formats, whose
// pages reach past what an inline usage map covers, read by mdbtools
// (count, every row) and our reader; a 255-column table, whose definition
// takes several pages; and each limit refused with a clear message and the
// file byte-identical afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database_state.h"
#include "fixtures.h"
#include "jet/database.h"
#include "pager.h"
#include "data_page.h"
#include "usage_map.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using test::readFileBytes;
using test::shellQuote;

using Case = test::TemplateCase;
constexpr auto& kCases = test::kTemplateCases;
using test::freshCopy;


constexpr int kBigRows = 100000;

std::vector<Value> bigRow(int i) {
  return {Value::integer(i), Value::text("row " + std::to_string(i * 7)), Value::real(i / 4.0)};
}

std::string writeBigTable(const Case& c) {
  const std::string path = freshCopy(c, "big");
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("Big", {{"N", ColumnType::Long, 0}, {"Label", ColumnType::Text, 20}, {"Quarter", ColumnType::Double, 0}});
  for (int i = 0; i < kBigRows; ++i) {
    db.appendRow("Big", bigRow(i));
    if (i % 30000 == 29999) {  // commits in between: the append state outlives them
      db.commit();
      db.beginTransaction();
    }
  }
  db.commit();
  return path;
}

class BigTable : public ::testing::TestWithParam<Case> {};

TEST_P(BigTable, ReachesPastTheInlineMapAndReadsBackWhole) {
  const Case& c = GetParam();
  const std::string path = writeBigTable(c);
  auto db = Database::open(path, OpenMode::ReadOnly);
  const auto def = db.definition("Big");
  EXPECT_EQ(def.rowCount, static_cast<std::uint32_t>(kBigRows));
  // The used map became a list of map pages: an inline map covers only
  // 512 (Jet 4) or 1,024 (Jet 3) pages from its start.
  Pager& pager = DatabaseInternals::of(db).pager;
  const RowPointer where = RowPointer::decode(def.usageMapPointer);
  const DataPageView view(pager.page(where.page), pager.format(), pager.path());
  EXPECT_EQ(view.rowBytes(view.slot(where.row))[0], 1);
  EXPECT_GT(db.info().pageCount, c.version == 4 ? 512u : 1024u);

  // Full pages have left the free-space map: only the page taking rows is in it.
  std::vector<std::uint32_t> used, free;
  for (UsageMapCursor pages(pager, def.usageMapPointer, "Big"); auto p = pages.next();) used.push_back(*p);
  for (UsageMapCursor pages(pager, def.freeSpaceMapPointer, "Big"); auto p = pages.next();) free.push_back(*p);
  ASSERT_FALSE(used.empty());
  EXPECT_EQ(free, std::vector<std::uint32_t>{used.back()});

  auto cursor = db.openCursor("Big");
  int i = 0;
  for (; cursor.next(); ++i) {
    ASSERT_LT(i, kBigRows);
    if (cursor.values() != bigRow(i)) {
      ADD_FAILURE() << "row " << i << " differs";
      break;
    }
  }
  EXPECT_EQ(i, kBigRows);

  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(test::mdbtool("mdb-count " + shellQuote(path) + " Big"), std::to_string(kBigRows) + "\n");
  const std::string exported = test::mdbtool("mdb-export -H -Q -d '|' " + shellQuote(path) + " Big");
  std::string expected;
  char quarter[32];
  for (int r = 0; r < kBigRows; ++r) {
    std::snprintf(quarter, sizeof quarter, "%.10g", r / 4.0);
    expected += std::to_string(r) + "|row " + std::to_string(r * 7) + "|" + quarter + "\n";
  }
  if (exported != expected) {
    std::size_t at = 0;
    while (at < exported.size() && at < expected.size() && exported[at] == expected[at]) ++at;
    at = exported.rfind('\n', at) + 1;
    ADD_FAILURE() << "mdb-export differs from line \"" << exported.substr(at, exported.find('\n', at) - at) << "\", wanted \""
                  << expected.substr(at, expected.find('\n', at) - at) << "\"";
  }
}

std::vector<NewColumn> wideColumns(std::size_t count) {
  std::vector<NewColumn> columns;
  const ColumnType types[] = {ColumnType::Long, ColumnType::Text, ColumnType::Double, ColumnType::Boolean,
                              ColumnType::Memo};
  for (std::size_t i = 0; i < count; ++i) {
    const ColumnType t = types[i % 5];
    columns.push_back({"Column number " + std::to_string(i), t, static_cast<std::uint16_t>(t == ColumnType::Text ? 10 : 0)});
  }
  return columns;
}

std::vector<Value> wideRow(std::size_t count) {
  std::vector<Value> row;
  for (std::size_t i = 0; i < count; ++i) {
    switch (i % 5) {
      case 0: row.push_back(Value::integer(static_cast<std::int64_t>(i))); break;
      case 1: row.push_back(Value::text("t" + std::to_string(i))); break;
      case 2: row.push_back(Value::real(i + 0.5)); break;
      case 3: row.push_back(Value::boolean(true)); break;
      default: row.push_back(Value::text("memo " + std::to_string(i))); break;
    }
  }
  return row;
}

TEST_P(BigTable, TakesTheMostColumnsJetAllows) {
  const Case& c = GetParam();
  const std::string path = freshCopy(c, "wide");
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Wide", wideColumns(255));
    db.appendRow("Wide", wideRow(255));
    db.commit();
  }
  auto db = Database::open(path, OpenMode::ReadOnly);
  const auto def = db.definition("Wide");
  ASSERT_EQ(def.columns.size(), 255u);
  EXPECT_EQ(def.columns[254].name, "Column number 254");
  auto cursor = db.openCursor("Wide");
  ASSERT_TRUE(cursor.next());
  EXPECT_EQ(cursor.values(), wideRow(255));

  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  const std::string schema = test::mdbtool("mdb-schema -T Wide " + shellQuote(path));
  EXPECT_NE(schema.find("[Column number 254]\t\t\tMemo/Hyperlink"), std::string::npos) << schema.substr(0, 400);
  const std::string exported = test::mdbtool("mdb-export -H -Q -d '|' " + shellQuote(path) + " Wide");
  EXPECT_NE(exported.find("|memo 254\n"), std::string::npos) << exported;
  EXPECT_EQ(exported.substr(0, 9), "0|t1|2.5|");
}

struct Refusal {
  const char* what;
  const char* table;
  std::vector<NewColumn> columns;
  std::vector<Value> row;  // empty: the creation itself is refused
  const char* message;     // part of the error
};

TEST_P(BigTable, RefusesEachLimitAndLeavesTheFileAsItWas) {
  const Case& c = GetParam();
  NewColumn required{"A", ColumnType::Long, 0};
  required.required = true;
  NewColumn autoText{"A", ColumnType::Text, 5};
  autoText.autoNumber = true;
  NewColumn wideDecimal{"A", ColumnType::Numeric, 0};
  wideDecimal.precision = 29;
  std::vector<NewColumn> fullTexts;
  std::vector<Value> fullRow;
  for (int i = 0; i < 40; ++i) {
    fullTexts.push_back({"T" + std::to_string(i), ColumnType::Text, 255});
    fullRow.push_back(Value::text(std::string(255, 'x')));
  }
  // Texts that leave less room than the long values' 12-byte fields need,
  // though the texts alone fit.
  std::vector<NewColumn> memos;
  std::vector<Value> memoRow;
  for (int i = 0; i < (c.version == 4 ? 14 : 7); ++i) {
    memos.push_back({"T" + std::to_string(i), ColumnType::Text, 255});
    memoRow.push_back(Value::text(std::string(255, 't')));
  }
  for (int i = 0; i < 50; ++i) {
    memos.push_back({"M" + std::to_string(i), ColumnType::Memo, 0});
    memoRow.push_back(Value::text(std::string(300, 'm')));
  }
  std::vector<Refusal> refusals = {
      {"256 columns", "T", wideColumns(256), {}, "must have 1 to 255 columns, not 256"},
      {"row too large", "T", fullTexts, fullRow, "more than the"},
      {"long values beside a full row", "T", memos, memoRow, "more than the"},
      {"dot in a table name", "A.B", {{"A", ColumnType::Long, 0}}, {}, "table \"A.B\" is not valid"},
      {"bracket in a column name", "T", {{"A]", ColumnType::Long, 0}}, {}, "column \"A]\" of table \"T\" is not valid"},
      {"leading blank", " T", {{"A", ColumnType::Long, 0}}, {}, "is not valid"},
      {"65 characters", "T", {{std::string(65, 'c'), ColumnType::Long, 0}}, {}, "is not valid"},
      {"control character", "T", {{"A\tB", ColumnType::Long, 0}}, {}, "is not valid"},
      {"required column", "T", {required}, {Value::null()}, "column \"A\" of table \"T\": the column requires a value"},
      {"autonumber text", "T", {autoText}, {}, "only Long Integer columns can"},
      {"decimal precision", "T", {wideDecimal}, {}, c.version == 4 ? "precision of 1 to 28" : "no Decimal type"},
      {"currency range", "T", {{"A", ColumnType::Currency, 0}}, {Value::decimal("922337203685478")}, "Currency range"},
      {"not a GUID", "T", {{"A", ColumnType::Guid, 0}}, {Value::text("{1234}")}, "is not a GUID"},
  };
  if (c.version == 3)  // names are kept in the file's code page (Windows-1252)
    refusals.push_back({"name outside the code page", "\xE7\xA0\x94\xE5\x8F\x91", {{"A", ColumnType::Long, 0}}, {},
                        "code page 1252 of this Access 95/97 database cannot hold"});
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.what);
    const std::string path = freshCopy(c, "limit");
    const std::string before = readFileBytes(path);
    {
      auto db = Database::open(path, OpenMode::ReadWrite);
      db.beginTransaction();
      bool created = false;
      try {
        db.createTable(r.table, r.columns);
        created = true;
        db.appendRow(r.table, r.row);
        ADD_FAILURE() << "not refused";
      } catch (const Error& e) {
        EXPECT_EQ(created, !r.row.empty()) << e.what();
        EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
      }
      db.rollback();
    }
    EXPECT_EQ(readFileBytes(path), before);
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, BigTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });

}  // namespace
}  // namespace fennick::jet
