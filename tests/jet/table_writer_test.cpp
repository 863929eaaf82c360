// Creating tables and appending rows, judged by mdbtools (tables, schema,
// counts, every row) and by our reader, on copies of both templates; the
// catalogue's index entries checked against the key library and, for Jet 4,
// against the bytes worked out from Access files (jet/docs/writing.md 5.4a).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "catalog_keys.h"
#include "database_state.h"
#include "fixtures.h"
#include "index_btree.h"
#include "jet/database.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using test::readFileBytes;
using test::runCommand;
using test::shellQuote;

using Case = test::TemplateCase;
constexpr auto& kCases = test::kTemplateCases;
using test::freshCopy;


const std::vector<NewColumn> kSeatColumns = {
    {"Id", ColumnType::Long, 0},       {"Name", ColumnType::Text, 50},  {"Row", ColumnType::Integer, 0},
    {"Deck", ColumnType::Byte, 0},     {"Window", ColumnType::Boolean, 0}, {"Price", ColumnType::Double, 0},
    {"Booked", ColumnType::DateTime, 0}, {"Code", ColumnType::Binary, 8}, {"Note", ColumnType::Text, 20},
};

std::vector<Value> seat(int i) {
  DateTime booked;
  booked.year = 2024;
  booked.month = 1 + i % 12;
  booked.day = 1 + i % 28;
  booked.hour = i % 24;
  booked.minute = i % 60;
  return {Value::integer(i),
          Value::text("Seat " + std::to_string(i) + (i % 7 == 0 ? " \xC3\xA9t\xC3\xA9" : "")),
          Value::integer(i % 40 - 20),
          Value::integer(i % 256),
          Value::boolean(i % 2 == 0),
          Value::real(i * 0.25),
          Value::dateTime(booked),
          // mdbtools shows binary values up to their first zero byte: none here.
          Value::bytes(Bytes{static_cast<std::uint8_t>(0x10 + i % 200), 0xAB, 0xCD}),
          i % 3 == 0 ? Value::null() : Value::text(std::string(i % 21, 'n'))};
}

// How mdb-export -H -Q -d '|' -0 '<NULL>' -b hex -T '%Y-%m-%d %H:%M:%S' shows seat(i).
std::string exported(int i) {
  const auto v = seat(i);
  char price[32], booked[32];
  std::snprintf(price, sizeof price, "%g", v[5].asDouble());
  const DateTime& d = v[6].asDateTime();
  std::snprintf(booked, sizeof booked, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
  char code[8];
  std::snprintf(code, sizeof code, "%02X", static_cast<unsigned>(0x10 + i % 200));
  return std::to_string(i) + "|" + v[1].asText() + "|" + std::to_string(v[2].asInteger()) + "|" +
         std::to_string(v[3].asInteger()) + "|" + (v[4].asBoolean() ? "1" : "0") + "|" + price + "|" + booked + "|" +
         code + "ABCD|" + (v[8].isNull() ? "<NULL>" : v[8].asText());
}

constexpr int kRows = 300;  // several data pages in both formats

std::string writeSeats(const Case& c, const std::string& name) {
  const std::string path = freshCopy(c, name);
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("Seats", kSeatColumns);
  for (int i = 0; i < kRows; ++i) db.appendRow("Seats", seat(i));
  db.commit();
  return path;
}

class TableWriter : public ::testing::TestWithParam<Case> {};

class TableWriterWithMdbtools : public TableWriter {
 protected:
  void SetUp() override {
    if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  }
  std::string tool(const std::string& command) { return test::mdbtool(command); }
};

TEST_P(TableWriterWithMdbtools, ReadsTheNewTableAndEveryRow) {
  const std::string file = writeSeats(GetParam(), "mdbtools");
  const std::string path = shellQuote(file);
  EXPECT_EQ(tool("mdb-tables -1 " + path), "Seats\n");
  const std::string schema = tool("mdb-schema -T Seats " + path);
  for (const char* line : {"[Id]\t\t\tLong Integer", "[Name]\t\t\tText (50)", "[Row]\t\t\tInteger", "[Deck]\t\t\tByte",
                           "[Window]\t\t\tBoolean", "[Price]\t\t\tDouble", "[Booked]\t\t\tDateTime",
                           "[Code]\t\t\tBinary", "[Note]\t\t\tText (20)"})
    EXPECT_NE(schema.find(line), std::string::npos) << line << "\n" << schema;
  EXPECT_EQ(tool("mdb-count " + path + " Seats"), std::to_string(kRows) + "\n");
  std::string expected;
  for (int i = 0; i < kRows; ++i) expected += exported(i) + "\n";
  EXPECT_EQ(tool("mdb-export -H -Q -d '|' -0 '<NULL>' -b hex -T '%Y-%m-%d %H:%M:%S' " + path + " Seats"), expected);
  // The catalogue row, found through mdbtools' query engine.
  const auto id = Database::open(file, OpenMode::ReadOnly).table("Seats").definitionPage;
  std::string answer = tool("echo 'select Name, Type, Flags from MSysObjects where Id = " + std::to_string(id) +
                            "' | mdb-sql -HFP -d '|' " + path);
  answer.erase(0, answer.find_first_not_of('\n'));
  EXPECT_EQ(answer, "Seats|1|0\n");
}

TEST_P(TableWriter, OurReaderReadsTheValuesBack) {
  const std::string path = writeSeats(GetParam(), "reader");
  auto db = Database::open(path, OpenMode::ReadOnly);
  const auto def = db.definition("Seats");
  ASSERT_EQ(def.columns.size(), kSeatColumns.size());
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    EXPECT_EQ(def.columns[i].name, kSeatColumns[i].name);
    EXPECT_EQ(def.columns[i].type, kSeatColumns[i].type);
  }
  EXPECT_EQ(def.rowCount, static_cast<std::uint32_t>(kRows));
  auto rows = db.openCursor("Seats");
  int i = 0;
  for (; rows.next(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    ASSERT_LT(i, kRows);
    const auto want = seat(i);
    const auto& got = rows.values();
    EXPECT_EQ(got[0].asInteger(), want[0].asInteger());
    EXPECT_EQ(got[1].asText(), want[1].asText());
    EXPECT_EQ(got[2].asInteger(), want[2].asInteger());
    EXPECT_EQ(got[3].asInteger(), want[3].asInteger());
    EXPECT_EQ(got[4].asBoolean(), want[4].asBoolean());
    EXPECT_EQ(got[5].asDouble(), want[5].asDouble());
    EXPECT_EQ(got[6].asDateTime().toOleDate(), want[6].asDateTime().toOleDate());
    EXPECT_EQ(got[7].asBytes(), want[7].asBytes());
    EXPECT_EQ(got[8].isNull(), want[8].isNull());
    if (!want[8].isNull()) {
      EXPECT_EQ(got[8].asText(), want[8].asText());
    }
  }
  EXPECT_EQ(i, kRows);
}

// Every MSysObjects and MSysACEs row has exactly its entries in the
// catalogue indexes, with the keys the key library computes.
TEST_P(TableWriter, KeepsTheCatalogueIndexesInStep) {
  const std::string path = writeSeats(GetParam(), "indexes");
  auto db = Database::open(path, OpenMode::ReadOnly);
  Pager& pager = DatabaseInternals::of(db).pager;
  const int version = GetParam().version;
  const auto pointer = [](RowLocation at) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(at.page >> 16), static_cast<std::uint8_t>(at.page >> 8),
                                     static_cast<std::uint8_t>(at.page), static_cast<std::uint8_t>(at.row)};
  };
  const auto withPointer = [&](std::vector<std::uint8_t> key, RowLocation at) {
    const auto p = pointer(at);
    key.insert(key.end(), p.begin(), p.end());
    return key;
  };
  for (const auto& index : db.definition("MSysObjects").realIndexes) {
    auto cursor = db.openCursor("MSysObjects");
    const auto& def = cursor.definition();
    std::size_t idAt = 0, parentAt = 0, nameAt = 0;
    for (std::size_t c = 0; c < def.columns.size(); ++c) {
      if (def.columns[c].name == "Id") idAt = c;
      if (def.columns[c].name == "ParentId") parentAt = c;
      if (def.columns[c].name == "Name") nameAt = c;
    }
    std::multiset<std::vector<std::uint8_t>> expected;
    while (cursor.next()) {
      const auto& v = cursor.values();
      expected.insert(index.columns.size() == 2
                          ? withPointer(catalogParentIdNameKey(version, static_cast<std::int32_t>(v[parentAt].asInteger()), v[nameAt].asText()), cursor.location())
                          : withPointer(catalogIdKey(version, static_cast<std::int32_t>(v[idAt].asInteger())), cursor.location()));
    }
    const auto stored = indexEntries(pager, index.firstPage, "MSysObjects");
    EXPECT_EQ(std::multiset<std::vector<std::uint8_t>>(stored.begin(), stored.end()), expected);
    EXPECT_TRUE(std::is_sorted(stored.begin(), stored.end()));
  }
  {
    auto cursor = db.openCursor("MSysACEs");
    std::multiset<std::vector<std::uint8_t>> expected;
    while (cursor.next())
      expected.insert(withPointer(catalogIdKey(version, static_cast<std::int32_t>(cursor.values()[0].asInteger())), cursor.location()));
    const auto index = db.definition("MSysACEs").realIndexes.at(0);
    const auto stored = indexEntries(pager, index.firstPage, "MSysACEs");
    EXPECT_EQ(std::multiset<std::vector<std::uint8_t>>(stored.begin(), stored.end()), expected);
    EXPECT_TRUE(std::is_sorted(stored.begin(), stored.end()));
  }
}

// The entries Access files show for a table "Seats" on page 16 whose
// catalogue row is row 8 of page 14 (jet/docs/writing.md 5.4a).
TEST(Jet4TableWriter, WritesTheCatalogueEntriesAccessWould) {
  const std::string path = writeSeats(kCases[0], "jet4entries");
  auto db = Database::open(path, OpenMode::ReadOnly);
  ASSERT_EQ(db.table("Seats").definitionPage, 16u);
  Pager& pager = DatabaseInternals::of(db).pager;
  const auto has = [&](std::uint32_t leaf, std::vector<std::uint8_t> entry) {
    const auto entries = indexEntries(pager, leaf, "catalogue");
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
  };
  EXPECT_TRUE(has(7, {0x7f, 0x8f, 0x00, 0x00, 0x01, 0x7f, 0x6b, 0x51, 0x4a, 0x6d, 0x6b, 0x01, 0x00, 0x00, 0x00, 0x0e, 0x08}));
  EXPECT_TRUE(has(8, {0x7f, 0x80, 0x00, 0x00, 0x10, 0x00, 0x00, 0x0e, 0x08}));
  EXPECT_TRUE(has(9, {0x7f, 0x80, 0x00, 0x00, 0x10, 0x00, 0x00, 0x0f, 0x10}));
  EXPECT_TRUE(has(9, {0x7f, 0x80, 0x00, 0x00, 0x10, 0x00, 0x00, 0x0f, 0x11}));
}

TEST_P(TableWriter, RollingBackACreatedTableLeavesTheFileAsItWas) {
  const std::string path = freshCopy(GetParam(), "rollback");
  const std::string before = readFileBytes(path);
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Seats", kSeatColumns);
    db.appendRow("Seats", seat(1));
    db.rollback();
    EXPECT_THROW(db.table("Seats"), Error);
  }
  EXPECT_EQ(readFileBytes(path), before);
}

struct Refusal {
  const char* what;
  std::vector<NewColumn> columns;
  std::vector<Value> row;  // empty: the creation itself is refused
  const char* message;     // part of the error
};

TEST_P(TableWriter, RefusesWhatJetDoesNotAllowWithAClearMessage) {
  const std::vector<Refusal> refusals = {
      {"existing table", {{"A", ColumnType::Long, 0}}, {}, "already has a table \"MSysObjects\""},
      {"duplicate column", {{"A", ColumnType::Long, 0}, {"a", ColumnType::Text, 5}}, {}, "two columns named \"a\""},
      {"text length", {{"A", ColumnType::Text, 256}}, {}, "must hold 1 to 255 characters"},
      {"type", {{"A", ColumnType::Unsupported, 0}}, {}, "which Jet tables cannot hold"},
      {"long text", {{"A", ColumnType::Text, 3}}, {Value::text("abcd")}, "column \"A\" of table \"T\": the text is longer than 3"},
      {"range", {{"A", ColumnType::Byte, 0}}, {Value::integer(256)}, "column \"A\" of table \"T\": 256 is out of range"},
      {"kind", {{"A", ColumnType::Long, 0}}, {Value::text("x")}, "column \"A\" of table \"T\": a "},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.what);
    const std::string path = freshCopy(GetParam(), "refused");
    const std::string before = readFileBytes(path);
    {
      auto db = Database::open(path, OpenMode::ReadWrite);
      db.beginTransaction();
      try {
        db.createTable(r.row.empty() && std::string(r.what) == "existing table" ? "MSysObjects" : "T", r.columns);
        if (!r.row.empty()) db.appendRow("T", r.row);
        ADD_FAILURE() << "not refused";
      } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
      }
      db.rollback();
    }
    EXPECT_EQ(readFileBytes(path), before);
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, TableWriterWithMdbtools, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });
INSTANTIATE_TEST_SUITE_P(BothFormats, TableWriter, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });

}  // namespace
}  // namespace fennick::jet
