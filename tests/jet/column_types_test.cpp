// Every column type the conversion creates, written in both formats and
// read back by mdbtools (schema, every value) and by our reader: NULLs,
// empty and 255-character texts, Memo and OLE values inline, on one
// long-value row and as chains of several megabytes, Currency, Decimal,
// GUID, autonumbers (NULLs numbered, given numbers kept), and Jet 3 rows
// longer than 255 bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/utf.h"
#include "fixtures.h"
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


std::vector<NewColumn> columnsFor(int version) {
  NewColumn id{"Id", ColumnType::Long, 0};
  id.autoNumber = true;
  std::vector<NewColumn> columns = {
      id,
      {"Flag", ColumnType::Boolean, 0},
      {"Small", ColumnType::Byte, 0},
      {"Price", ColumnType::Currency, 0},
      {"Ratio", ColumnType::Single, 0},
      {"Key", ColumnType::Guid, 0},
      {"Name", ColumnType::Text, 255},
      {"Notes", ColumnType::Memo, 0},
      {"Blob", ColumnType::Ole, 0},
  };
  if (version == 4) {
    NewColumn amount{"Amount", ColumnType::Numeric, 0};
    amount.precision = 18;
    amount.scale = 4;
    columns.push_back(amount);
  }
  return columns;
}

std::string repeated(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

Bytes bytesOf(std::size_t size, unsigned seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>((i * 131 + seed) % 251 + 1);
  return b;
}

struct Row {
  const char* what;
  Value id, flag, small, price, ratio, key, name, notes, blob, amount;
  std::int64_t expectedId;
  const char* priceText;   // as our reader gives Currency and Decimal back
  const char* amountText;
};

// A GUID as Jet tools show it: the last two groups run together.
std::string shownGuid(const Value& v) {
  std::string t = v.asText();
  t.erase(24, 1);
  return t;
}

std::vector<Row> rowsFor(int version) {
  // Jet 3 text is in the code page: Latin-1 letters only there.
  const std::string wide = version == 4 ? "\xCE\xB1\xE4\xB8\xAD" : "\xC3\xA9\xC3\xBC";  // αAAA / éü
  std::vector<Row> rows = {
      {"all NULL", Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
       Value::null(), Value::null(), Value::null(), Value::null(), 1, "", ""},
      {"empty values", Value::null(), Value::boolean(false), Value::integer(0), Value::decimal("0"), Value::real(0),
       Value::text("{00000000-0000-0000-0000-000000000000}"), Value::text(""), Value::text(""), Value::bytes({}),
       Value::decimal("0"), 2, "0.0000", "0.0000"},
      {"inline long values, 255 characters", Value::null(), Value::boolean(true), Value::integer(255),
       Value::decimal("-922337203685477.5808"), Value::real(0.5), Value::text("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
       Value::text(repeated("\xC3\xA9", 255)), Value::text(repeated("n", 60)), Value::bytes(bytesOf(50, 1)),
       Value::decimal("-12345678901234.5678"), 3, "-922337203685477.5808", "-12345678901234.5678"},
      {"given number kept, values on one long-value row", Value::integer(100), Value::boolean(true),
       Value::integer(7), Value::decimal("1234.5"), Value::real(-2.25),
       Value::text("{01234567-89AB-CDEF-0123-456789ABCDEF}"), Value::text(std::string(255, 'x')),
       Value::text(repeated("Memo " + wide + " ", 300)), Value::bytes(bytesOf(1500, 2)), Value::decimal("0.0001"),
       100, "1234.5000", "0.0001"},
      {"chains of megabytes", Value::null(), Value::boolean(false), Value::integer(1), Value::integer(42),
       Value::real(1e10), Value::null(), Value::text("chain"), Value::text(repeated("0123456789abcdef", 200000)),
       Value::bytes(bytesOf(2 * 1024 * 1024 + 7, 3)), Value::integer(-5), 101, "42.0000", "-5.0000"},
      {"given number as a double, chain of UTF-16 text", Value::real(150), Value::null(), Value::null(), Value::null(), Value::null(),
       Value::null(), Value::null(), Value::text(repeated(wide, 20000)), Value::bytes(bytesOf(4072 * 2, 4)),
       Value::null(), 150, "", ""},
  };
  return rows;
}

std::vector<Value> valuesOf(const Row& r, int version) {
  std::vector<Value> v = {r.id, r.flag, r.small, r.price, r.ratio, r.key, r.name, r.notes, r.blob};
  if (version == 4) v.push_back(r.amount);
  return v;
}

std::string writeTable(const Case& c, const std::string& name) {
  const std::string path = freshCopy(c, name);
  auto db = Database::open(path, OpenMode::ReadWrite);
  db.beginTransaction();
  db.createTable("Kinds", columnsFor(c.version));
  for (const Row& r : rowsFor(c.version)) db.appendRow("Kinds", valuesOf(r, c.version));
  db.commit();
  return path;
}

Bytes utf8Bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string hex(const Bytes& b) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::uint8_t x : b) {
    out.push_back(digits[x >> 4]);
    out.push_back(digits[x & 15]);
  }
  return out;
}

constexpr std::size_t kMdbExportTextLimit = 199999;

// Long values compared without printing megabytes: the sizes and where
// they first differ.
void expectSame(const std::string& got, const std::string& want) {
  if (got == want) return;
  std::size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  ADD_FAILURE() << "got " << got.size() << " bytes, want " << want.size() << ", first difference at " << at << ": \""
                << got.substr(at, 40) << "\" vs \"" << want.substr(at, 40) << "\"";
}

class ColumnTypes : public ::testing::TestWithParam<Case> {};

TEST_P(ColumnTypes, OurReaderReadsBackWhatWasWritten) {
  const Case& c = GetParam();
  auto db = Database::open(writeTable(c, "types_reader"), OpenMode::ReadOnly);
  const auto def = db.definition("Kinds");
  EXPECT_TRUE(def.columns[0].autoNumber);
  EXPECT_EQ(def.nextAutoNumber, 150u);
  auto cursor = db.openCursor("Kinds");
  for (const Row& r : rowsFor(c.version)) {
    SCOPED_TRACE(r.what);
    ASSERT_TRUE(cursor.next());
    const auto& got = cursor.values();
    EXPECT_EQ(got[0].asInteger(), r.expectedId);
    EXPECT_EQ(got[1].asBoolean(), !r.flag.isNull() && r.flag.asBoolean());
    EXPECT_EQ(got[2], r.small);
    if (r.price.isNull()) EXPECT_TRUE(got[3].isNull());
    else EXPECT_EQ(got[3], Value::decimal(r.priceText));
    if (r.ratio.isNull()) EXPECT_TRUE(got[4].isNull());
    else EXPECT_EQ(got[4].asDouble(), r.ratio.asDouble());
    if (r.key.isNull()) EXPECT_TRUE(got[5].isNull());
    else EXPECT_EQ(got[5], Value::text(shownGuid(r.key)));
    EXPECT_EQ(got[6], r.name);
    EXPECT_EQ(got[7], r.notes);
    EXPECT_EQ(got[8], r.blob);
    if (c.version == 4 && r.amount.isNull()) {
      EXPECT_TRUE(got[9].isNull());
    }
    if (c.version == 4 && !r.amount.isNull()) {
      EXPECT_EQ(got[9], Value::decimal(r.amountText));
    }
  }
  EXPECT_FALSE(cursor.next());
}

class ColumnTypesWithMdbtools : public ColumnTypes {
 protected:
  void SetUp() override {
    if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  }
};

TEST_P(ColumnTypesWithMdbtools, ShowTheSchemaAndEveryValue) {
  const Case& c = GetParam();
  const std::string path = shellQuote(writeTable(c, "types_mdbtools"));
  const std::string schema = test::mdbtool("mdb-schema -T Kinds " + path);
  std::vector<std::string> lines = {"[Id]\t\t\tLong Integer", "[Flag]\t\t\tBoolean",     "[Small]\t\t\tByte",
                                    "[Price]\t\t\tCurrency",  "[Ratio]\t\t\tSingle",      "[Key]\t\t\tReplication ID",
                                    "[Name]\t\t\tText (255)", "[Notes]\t\t\tMemo/Hyperlink", "[Blob]\t\t\tOLE (255)"};
  if (c.version == 4) lines.push_back("[Amount]\t\t\tNumeric (18, 4)");
  for (const auto& line : lines) EXPECT_NE(schema.find(line), std::string::npos) << line << "\n" << schema;

  const std::string exported =
      test::mdbtool("mdb-export -H -Q -d '|' -R '\\n<end>\\n' -0 '<NULL>' -b hex " + path + " Kinds");
  std::vector<std::string> got;
  for (std::size_t at = 0; at < exported.size();) {
    const std::size_t end = exported.find("\n<end>\n", at);
    ASSERT_NE(end, std::string::npos) << exported.substr(at, 200);
    got.push_back(exported.substr(at, end - at));
    at = end + 7;
  }
  const auto rows = rowsFor(c.version);
  ASSERT_EQ(got.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    SCOPED_TRACE(r.what);
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
      const std::size_t bar = got[i].find('|', at);
      fields.push_back(got[i].substr(at, bar == std::string::npos ? std::string::npos : bar - at));
      if (bar == std::string::npos) break;
      at = bar + 1;
    }
    ASSERT_EQ(fields.size(), c.version == 4 ? 10u : 9u) << got[i].substr(0, 300);
    EXPECT_EQ(fields[0], std::to_string(r.expectedId));
    EXPECT_EQ(fields[1], !r.flag.isNull() && r.flag.asBoolean() ? "1" : "0");
    EXPECT_EQ(fields[2], r.small.isNull() ? "<NULL>" : std::to_string(r.small.asInteger()));
    if (r.price.isNull()) EXPECT_EQ(fields[3], "<NULL>");
    else EXPECT_DOUBLE_EQ(std::stod(fields[3]), std::stod(r.price.toDisplayString())) << fields[3];
    if (r.ratio.isNull()) EXPECT_EQ(fields[4], "<NULL>");
    else EXPECT_DOUBLE_EQ(std::stod(fields[4]), r.ratio.asDouble()) << fields[4];
    // GUIDs come out as the hex of their text under -b hex.
    EXPECT_EQ(fields[5], r.key.isNull() ? "<NULL>" : hex(utf8Bytes(shownGuid(r.key))));
    // mdb-export shows an empty text as NULL, and a memo only up to the
    // size of its column buffer.
    const auto shown = [](const Value& v) {
      return v.isNull() || v.asText().empty() ? std::string("<NULL>") : v.asText().substr(0, kMdbExportTextLimit);
    };
    EXPECT_EQ(fields[6], shown(r.name));
    expectSame(fields[7], shown(r.notes));
    expectSame(fields[8], r.blob.isNull() ? "<NULL>" : hex(r.blob.asBytes()));
    if (c.version == 4) {
      if (r.amount.isNull()) EXPECT_EQ(fields[9], "<NULL>");
      else EXPECT_DOUBLE_EQ(std::stod(fields[9]), std::stod(r.amount.toDisplayString())) << fields[9];
    }
  }
}

// Jet 4 stores a text in its one-byte form only when every character fits;
// a character that does not (the euro sign, Greek, CJK) at the end, the
// start or the middle keeps the whole text in UCS-2 and nothing is lost.
// The Jet 3 texts are what its code page holds.
TEST_P(ColumnTypes, TextsWithOneCharacterOutsideLatin1) {
  const Case& c = GetParam();
  const std::vector<std::string> texts =
      c.version == 4 ? std::vector<std::string>{"abcd\xE2\x82\xAC", "abcdefgh\xCE\xB1", "\xE4\xB8\xAD" "abcd", "ab\xE6\x96\x87" "cd",
                                                "ab\xE2\x82\xAC", "\xC3\xA9\xC3\xBC\xC3\x9F\xCE\xA9"}
                     : std::vector<std::string>{"abcd\xE2\x82\xAC", "\xE2\x82\xAC" "abcd", "ab\xC3\xA9", "\xC3\xA9\xC3\xBC\xC3\x9F"};
  const std::string path = freshCopy(c, "one_wide");
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Wide", {{"Short", ColumnType::Text, 9}, {"Long", ColumnType::Memo, 0}});
    for (const auto& t : texts) db.appendRow("Wide", {Value::text(t), Value::text(t)});
    db.commit();
  }
  auto db = Database::open(path, OpenMode::ReadOnly);
  auto cursor = db.openCursor("Wide");
  std::string expected;
  for (const auto& t : texts) {
    ASSERT_TRUE(cursor.next());
    EXPECT_EQ(cursor.values(), (std::vector<Value>{Value::text(t), Value::text(t)})) << t;
    expected += t + "|" + t + "\n";
  }
  EXPECT_FALSE(cursor.next());
  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(test::mdbtool("mdb-export -H -Q -d '|' " + shellQuote(path) + " Wide"), expected);
}

// The append state does not outlive what it describes: rows appended after
// a rollback, and after the file was closed and opened again, land where
// they should (data pages and LVAL pages alike).
TEST_P(ColumnTypes, AppendsAfterRollbackAndReopening) {
  const Case& c = GetParam();
  const std::string path = freshCopy(c, "reopen");
  const auto row = [](int i) {
    return std::vector<Value>{Value::integer(i), Value::text(std::string(std::size_t(500 + i), char('a' + i)))};
  };
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Again", {{"N", ColumnType::Long, 0}, {"Notes", ColumnType::Memo, 0}});
    db.appendRow("Again", row(0));
    db.commit();
    db.beginTransaction();
    for (int i = 10; i < 20; ++i) db.appendRow("Again", row(i));
    db.rollback();
    db.beginTransaction();
    db.appendRow("Again", row(1));
    db.commit();
  }
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.appendRow("Again", row(2));
    db.commit();
  }
  auto db = Database::open(path, OpenMode::ReadOnly);
  EXPECT_EQ(db.definition("Again").rowCount, 3u);
  auto cursor = db.openCursor("Again");
  std::string expected;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(cursor.next());
    EXPECT_EQ(cursor.values(), row(i));
    expected += std::to_string(i) + "|" + row(i)[1].asText() + "\n";
  }
  EXPECT_FALSE(cursor.next());
  if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(test::mdbtool("mdb-export -H -Q -d '|' " + shellQuote(path) + " Again"), expected);
}

// Rows whose length crosses 256 and 512 bytes at every place: the end of
// the data, the offset table or the null mask (Jet 3 needs a jump table
// there, including entries no field reaches).
TEST_P(ColumnTypesWithMdbtools, RowsAcrossEveryByteBoundary) {
  const Case& c = GetParam();
  const std::string path = freshCopy(c, "boundaries");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 300; ++i)
    rows.push_back({Value::integer(i), Value::text(std::string(i % 256, 'a')),
                    i % 5 == 0 ? Value::null() : Value::text(std::string(i * 7 % 256, 'b')), Value::text("z")});
  {
    auto db = Database::open(path, OpenMode::ReadWrite);
    db.beginTransaction();
    db.createTable("Edges", {{"N", ColumnType::Long, 0}, {"A", ColumnType::Text, 255}, {"B", ColumnType::Text, 255},
                             {"C", ColumnType::Text, 1}});
    for (const auto& r : rows) db.appendRow("Edges", r);
    db.commit();
  }
  auto db = Database::open(path, OpenMode::ReadOnly);
  auto cursor = db.openCursor("Edges");
  std::string expected;
  for (const auto& r : rows) {
    ASSERT_TRUE(cursor.next());
    EXPECT_EQ(cursor.values(), r) << "row " << r[0].asInteger();
    const auto shown = [](const Value& v) { return v.isNull() || v.asText().empty() ? std::string("<NULL>") : v.asText(); };
    expected += std::to_string(r[0].asInteger()) + "|" + shown(r[1]) + "|" + shown(r[2]) + "|z\n";
  }
  EXPECT_EQ(test::mdbtool("mdb-export -H -Q -d '|' -0 '<NULL>' " + shellQuote(path) + " Edges"), expected);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, ColumnTypes, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });
INSTANTIATE_TEST_SUITE_P(BothFormats, ColumnTypesWithMdbtools, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });

}  // namespace
}  // namespace fennick::jet
