// The two empty-database templates under resources/: they are what
// fennick-make-templates builds, have Jet's size and header, open in our
// reader and in mdbtools with the engine's four system tables, the Jet 4
// one is the file Jet itself makes (adox_jet4.mdb) and the Jet 3 one has
// the system table definitions of every Access 97 file, except where Jet
// leaves bytes uninitialised. Also: the conversion engine writes a missing target
// from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/tcc.h"
#include "fixtures.h"
#include "jet/database.h"
#include "platform/file.h"
#include "templates/empty_database.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using templates::EmptyDatabaseFormat;
using test::readFileBytes;
using test::runCommand;
using test::shellQuote;

struct TemplateCase {
  EmptyDatabaseFormat format;
  const char* file;
  std::size_t size;
  std::uint32_t pageSize;
  std::uint8_t versionByte;
  int accessFormat;  // as the conversion settings name it
};

const TemplateCase kCases[] = {
    {EmptyDatabaseFormat::Jet4, "mdb2000", 65536, 4096, 1, 1},
    {EmptyDatabaseFormat::Jet3, "mdb95", 40960, 2048, 0, 0},
};

// Rows each system table holds in an empty database.
const std::pair<const char*, int> kSystemTables[] = {
    {"MSysObjects", 8}, {"MSysACEs", 16}, {"MSysQueries", 0}, {"MSysRelationships", 0}};

std::string committedPath(const TemplateCase& c) {
  return test::sourcePath(std::string("resources/") + c.file);
}

std::string nonEmptyLines(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) out += text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

// Names the case in test output instead of its bytes.
void PrintTo(const TemplateCase& c, std::ostream* os) { *os << c.file; }

class Template : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(Template, IsWhatTheToolBuilds) {
  const auto built = templates::makeEmptyDatabase(GetParam().format);
  const std::string committed = readFileBytes(committedPath(GetParam()));
  ASSERT_EQ(committed.size(), built.size());
  EXPECT_TRUE(std::equal(built.begin(), built.end(), reinterpret_cast<const std::uint8_t*>(committed.data())))
      << "resources/" << GetParam().file << " differs from fennick-make-templates' output: run it again";
  EXPECT_EQ(templates::makeEmptyDatabase(GetParam().format), built) << "the output is not reproducible";
}

TEST_P(Template, HasJetsSizeAndHeader) {
  const std::string bytes = readFileBytes(committedPath(GetParam()));
  ASSERT_EQ(bytes.size(), GetParam().size);
  const unsigned char start[] = {0x00, 0x01, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(bytes.data(), start, 4));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 4, "Standard Jet DB\0", 16));
  const unsigned char version[] = {GetParam().versionByte, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(bytes.data() + 20, version, 4));
}

TEST_P(Template, OpensInOurReader) {
  auto db = Database::open(committedPath(GetParam()), OpenMode::ReadOnly);
  EXPECT_EQ(db.info().pageSize, GetParam().pageSize);
  EXPECT_EQ(db.info().pageCount, GetParam().size / GetParam().pageSize);
  EXPECT_EQ(db.info().codePage, 1252);
  EXPECT_EQ(db.info().collation, 0x0409);
  ASSERT_EQ(db.tables().size(), std::size(kSystemTables));
  for (const auto& [name, rows] : kSystemTables) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(db.table(name).system);
    const auto definition = db.definition(name);
    EXPECT_FALSE(definition.indexes.empty());
    auto cursor = db.openCursor(name);
    int count = 0;
    while (cursor.next()) ++count;
    EXPECT_EQ(count, rows);
  }
}

class TemplateWithMdbtools : public Template {
 protected:
  void SetUp() override {
    if (const std::string why = test::mdbtoolsMissing(); !why.empty()) GTEST_SKIP() << why;
  }
  std::string tool(const std::string& command) { return test::mdbtool(command); }
};

TEST_P(TemplateWithMdbtools, ListsCountsAndExportsTheSystemTables) {
  const std::string path = shellQuote(committedPath(GetParam()));
  EXPECT_EQ(tool("mdb-tables -S -1 " + path), "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\n");
  EXPECT_EQ(tool("mdb-tables -1 " + path), "");  // no user tables
  tool("mdb-schema " + path);
  for (const auto& [name, rows] : kSystemTables) {
    SCOPED_TRACE(name);
    EXPECT_EQ(tool("mdb-count " + path + " " + name), std::to_string(rows) + "\n");
    const std::string exported = tool("mdb-export " + path + " " + name);
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), rows + 1);  // header line
  }
  EXPECT_NE(tool("mdb-export " + path + " MSysObjects").find("\"MSysRelationships\",1,"), std::string::npos);
  // mdb-sql answers through the catalogue indexes where it can.
  EXPECT_EQ(nonEmptyLines(tool("echo 'select Name from MSysObjects where Id = 3' | mdb-sql -HFP " + path)),
            "MSysACEs\n");
  EXPECT_EQ(nonEmptyLines(tool("echo 'select ACM from MSysACEs where ObjectId = 268435456' | mdb-sql -HFP " + path)),
            "393230\n14\n");
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Template, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });
INSTANTIATE_TEST_SUITE_P(BothFormats, TemplateWithMdbtools, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.file); });

// Bytes where adox_jet4.mdb holds what Jet left uninitialised (or, for one
// count, a value Jet does not keep exact) and the template writes zero or
// the true count. Page, first offset, last offset.
struct Exception {
  std::uint32_t page;
  std::uint32_t first;
  std::uint32_t last;
  const char* why;
};
const Exception kJet4Exceptions[] = {
    {2, 0x0E9, 0x0E9, "ForeignName: fixed offset of a variable column"},
    {2, 0x134, 0x135, "Database: fixed offset of a variable column"},
    {2, 0x14D, 0x14E, "LvModule: fixed offset of a variable column"},
    {2, 0x167, 0x167, "LvProp: fixed offset of a variable column"},
    {2, 0x17F, 0x17F, "Name: fixed offset of a variable column"},
    {2, 0x199, 0x199, "Owner: fixed offset of a variable column"},
    {2, 0x1E3, 0x1E3, "RmtInfoShort: fixed offset of a variable column"},
    {2, 0x312, 0x345, "MSysObjects ParentIdName: unused column slots"},
    {3, 0x043, 0x043, "MSysACEs ObjectId index count: Jet keeps 8 for 16 rows"},
    {3, 0x0AB, 0x0AB, "SID: fixed offset of a variable column"},
    {3, 0x0EB, 0x11E, "MSysACEs ObjectId: unused column slots and bytes after the first page"},
    {4, 0x07A, 0x07A, "Expression: fixed offset of a variable column"},
    {4, 0x0C5, 0x0C5, "Name1: fixed offset of a variable column"},
    {4, 0x0DE, 0x0DE, "Name2: fixed offset of a variable column"},
    {4, 0x110, 0x110, "Order: fixed offset of a variable column"},
    {4, 0x18D, 0x1C0, "MSysQueries ObjectIdAttribute: unused column slots and bytes after the first page"},
};

TEST(Jet4Template, IsTheFileJetMakesSaveUninitialisedBytes) {
  const std::string ours = readFileBytes(committedPath(kCases[0]));
  const std::string jets = readFileBytes(test::sharedPath("fixtures/access/adox_jet4.mdb"));
  ASSERT_EQ(ours.size(), jets.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    if (ours[i] == jets[i]) continue;
    const auto page = static_cast<std::uint32_t>(i / 4096);
    const auto offset = static_cast<std::uint32_t>(i % 4096);
    const bool excepted = std::any_of(std::begin(kJet4Exceptions), std::end(kJet4Exceptions), [&](const auto& e) {
      return e.page == page && offset >= e.first && offset <= e.last;
    });
    EXPECT_TRUE(excepted) << "page " << page << " offset 0x" << std::hex << offset;
  }
}

// No empty Jet 3 file made by Access exists, but every Access 97 file
// carries the same four system table definitions on pages 2-5: ours must
// equal testV1997.mdb's except the row counts and the bytes Access leaves
// uninitialised (the fixed offset of variable columns, the order byte of
// unused index column slots).
TEST(Jet3Template, HasTheSystemTableDefinitionsOfAccess97) {
  const std::string ours = readFileBytes(committedPath(kCases[1]));
  const std::string access = readFileBytes(test::sharedPath("fixtures/access/testV1997.mdb"));
  const auto u8 = [&](std::size_t at) { return static_cast<std::uint8_t>(ours.at(at)); };
  const auto u16 = [&](std::size_t at) { return static_cast<unsigned>(u8(at) | u8(at + 1) << 8); };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  for (std::size_t page = 2; page <= 5; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    const std::size_t base = page * 2048;
    const std::size_t length = u32(base + 0x08);
    const std::size_t columns = u16(base + 0x19), realIndexes = u32(base + 0x1F);
    std::vector<bool> uninitialised(length, false);
    for (std::size_t i = 0x0C; i < 0x10; ++i) uninitialised[i] = true;  // row count
    for (std::size_t r = 0; r < realIndexes; ++r)
      for (std::size_t i = 0; i < 4; ++i) uninitialised[0x2B + 8 * r + 4 + i] = true;  // index row count
    const std::size_t columnsAt = 0x2B + 8 * realIndexes;
    std::size_t at = columnsAt + 18 * columns;
    for (std::size_t c = 0; c < columns; ++c) {
      const std::size_t record = columnsAt + 18 * c;
      if ((u8(base + record + 13) & 0x01) == 0) uninitialised[record + 14] = uninitialised[record + 15] = true;
    }
    for (std::size_t c = 0; c < columns; ++c) at += 1 + u8(base + at);  // names
    for (std::size_t r = 0; r < realIndexes; ++r, at += 39)
      for (std::size_t slot = 0; slot < 10; ++slot)
        if (u16(base + at + 3 * slot) == 0xFFFF) uninitialised[at + 3 * slot + 2] = true;
    ASSERT_LE(at, length);
    for (std::size_t i = 0; i < length; ++i) {
      if (uninitialised[i]) continue;
      EXPECT_EQ(u8(base + i), static_cast<std::uint8_t>(access.at(base + i))) << "offset 0x" << std::hex << i;
    }
  }
}

TEST(CreateAccessFile, WritesAMissingTargetFromTheTemplateAndKeepsAnExistingOne) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file);
    const std::string target = test::joinPath(test::scratchDir(), std::string("created_") + c.file + ".mdb");
    platform::removeFile(target);
    Tcc::createaccessfile(target, c.accessFormat);
    EXPECT_EQ(readFileBytes(target), readFileBytes(committedPath(c)));
    platform::writeWholeFile(target, "kept");
    Tcc::createaccessfile(target, c.accessFormat);
    EXPECT_EQ(readFileBytes(target), "kept");
  }
}

}  // namespace
}  // namespace fennick::jet
