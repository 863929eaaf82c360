// Keys that Access itself wrote: each case is an index entry found in the
// leaf pages of a real file under fixtures/access (file, table and index in
// the comment), with the row value it points at. Our encoding of the value
// must give the same bytes.
#include <gtest/gtest.h>

#include <vector>

#include "jet_keys/index_key.h"
#include "key_test_util.h"

namespace fennick::jet {
namespace {

using test::toHex;

struct Part {
  ColumnType type;
  bool ascending;
  Value value;
};

struct StoredKey {
  const char* where;
  JetFormat format;
  std::vector<Part> parts;
  const char* key;  // as stored, hex
};

constexpr auto Jet3 = JetFormat::Jet3;
constexpr auto Jet4 = JetFormat::Jet4;
constexpr bool Asc = true;
constexpr bool Desc = false;

Value text(const char* s) { return Value::text(s); }
Value num(std::int64_t n) { return Value::integer(n); }

const std::vector<StoredKey>& storedKeys() {
  static const std::vector<StoredKey> cases = {
      // Long Integer, ascending: sign bit flipped, big-endian.
      {"indexTestV2000 Table1.PrimaryKey", Jet4, {{ColumnType::Long, Asc, num(0)}}, "7f80000000"},
      {"indexTestV2000 Table3.PrimaryKey", Jet4, {{ColumnType::Long, Asc, num(13)}}, "7f8000000d"},
      {"testV2000 MSysObjects.Id", Jet4, {{ColumnType::Long, Asc, num(736)}}, "7f800002e0"},
      {"testV2000 MSysObjects.Id", Jet4, {{ColumnType::Long, Asc, num(-2147483640)}}, "7f00000008"},
      {"queryTestV1997 MSysACEs.ObjectId", Jet3, {{ColumnType::Long, Asc, num(-2147483632)}}, "7f00000010"},
      {"indexTestV1997 Table1.Table3Table1", Jet3, {{ColumnType::Long, Asc, num(11)}}, "7f8000000b"},
      // Long Integer, descending: every byte inverted, NULL last.
      {"compIndexTestV1997 Table1.CD_AGENTE", Jet3, {{ColumnType::Long, Desc, num(4813)}}, "807fffed32"},
      {"compIndexTestV2000 Table1.CD_AGENTE", Jet4, {{ColumnType::Long, Desc, num(1023)}}, "807ffffc00"},
      {"compIndexTestV2000 Table1.CD_AGENTE", Jet4, {{ColumnType::Long, Desc, Value::null()}}, "ff"},
      {"compIndexTestV1997 Table1.CD_AGENTE", Jet3, {{ColumnType::Long, Desc, Value::null()}}, "ff"},
      // Date/Time: the OLE date's IEEE bytes with the sign bit flipped.
      {"fixedTextTestV2000 users.Users2_9_idx", Jet4,
       {{ColumnType::DateTime, Asc, Value::dateTime({2009, 10, 22, 3, 57, 13})}}, "7fc0e39585457fcf74"},
      {"fixedTextTestV2000 users.Users2_9_idx", Jet4,
       {{ColumnType::DateTime, Asc, Value::dateTime({2009, 11, 5, 23, 41, 28})}}, "7fc0e3975f9690e085"},
      // Byte and Binary in a three-column index (Long, Byte, Binary).
      {"queryTestV1997 MSysQueries.ObjectIdAttribute", Jet3,
       {{ColumnType::Long, Asc, num(-2147483632)},
        {ColumnType::Byte, Asc, num(255)},
        {ColumnType::Binary, Asc, Value::bytes({0, 0, 0, 1})}},
       "7f000000107fff7f000000010000000004"},
      {"queryTestV1997 MSysQueries.ObjectIdAttribute", Jet3,
       {{ColumnType::Long, Asc, num(-2147483634)},
        {ColumnType::Byte, Asc, num(6)},
        {ColumnType::Binary, Asc, Value::bytes({0, 0, 0, 4})}},
       "7f0000000e7f067f000000040000000004"},
      // Text, Access 97 General: case folded, no accent part.
      {"testV1997 Table1.PrimaryKey", Jet3, {{ColumnType::Text, Asc, text("abcdefg")}}, "7f6061626466676800"},
      {"testV1997 Table1.B", Jet3, {{ColumnType::Text, Asc, text("hijklmnop")}}, "7f696a6b6c6d6f70727300"},
      {"test2V1997 MSP_PROJECTS.I_PROJ_NAME", Jet3, {{ColumnType::Text, Asc, text("Project1")}},
       "7f7375726b6662775700"},
      {"indexTestV1997 MSysRelationships.szRelationship", Jet3,
       {{ColumnType::Text, Asc, text("Table2Table1")}}, "7f7760616d66587760616d665700"},
      {"test2V1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MSP_PROJECTS")}},
       "7f8f0000017f6f76732c7375726b6662777600"},
      // Text, Long Integer, descending Long Integer.
      {"testV1997 MSysModules2.Index1", Jet3,
       {{ColumnType::Text, Asc, text("MSysDb")},
        {ColumnType::Long, Asc, num(2)},
        {ColumnType::Long, Desc, num(1)}},
       "7f6f767d766461007f80000002807ffffffe"},
      // Text, General as Access 2000 writes it: case folded, spaces and
      // punctuation keyed.
      {"testV2000 Table1.PrimaryKey", Jet4, {{ColumnType::Text, Asc, text("a")}}, "7f4a0100"},
      {"testV2000 Table1.B", Jet4, {{ColumnType::Text, Asc, text("hijklmnop")}}, "7f57595b5c5e606264660100"},
      {"test2V2000 MSP_PROJECTS.I_PROJ_NAME", Jet4, {{ColumnType::Text, Asc, text("Project1")}},
       "7f6669645b514d6d380100"},
      {"fixedTextTestV2000 users.Users2_1_idx", Jet4, {{ColumnType::Text, Asc, text("admin")}},
       "7f4a4f6059620100"},
      {"fixedTextTestV2000 users.Users2_1_idx", Jet4, {{ColumnType::Text, Asc, text("CORE USER")}},
       "7f4d646951076f6b51690100"},
      {"fixedTextTestV2000 users.Users2_4_idx", Jet4, {{ColumnType::Text, Asc, text("Core User")}},
       "7f4d646951076f6b51690100"},
      {"fixedTextTestV2000 users.Users2_4_idx", Jet4, {{ColumnType::Text, Asc, text("Admin User")}},
       "7f4a4f605962076f6b51690100"},
      {"fixedTextTestV2000 users.Users2_8_idx", Jet4, {{ColumnType::Text, Asc, text("N")}}, "7f620100"},
      // The hyphen is ignorable: keyed by its position after the sort bytes.
      {"fixedTextTestV2000 users.Users2_3_idx", Jet4, {{ColumnType::Text, Asc, text("-1")}},
       "7f38010101018007068200"},
      {"test2V2000 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MSP_PROJECTS")}},
       "7f8f0000017f606b662b036669645b514d6d6b0100"},
      {"indexTestV2000 MSysRelationships.szRelationship", Jet4,
       {{ColumnType::Text, Asc, text("MSysNavPaneGroupsMSysNavPaneGroupToObjects")}},
       "7f606b766b624a71664a62515569646f666b606b766b624a71664a62515569646f666d64644c5b514d6d6b0100"},
      // Object names in MSysObjects.ParentIdName, together covering the alphabet and digits.
      {"queryTestV1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("DataDefinitionQuery")}},
       "7f8f0000017f646077606466676a706a776a7270747866757d00"},
      {"queryTestV1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("PassthroughQuery")}},
       "7f8f0000017f7360767677697572786869747866757d00"},
      {"queryTestV1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("CrosstabQuery")}},
       "7f8f0000017f6275727676776061747866757d00"},
      {"queryTestV1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MakeTableQuery")}},
       "7f8f0000017f6f606c667760616d66747866757d00"},
      {"testV1997 MSysObjects.ParentIdName", Jet3,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("Table4")}},
       "7f8f0000017f7760616d665a00"},
      {"indexTestV2000 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MSysNavPaneObjectIDs")}},
       "7f8f0000017f606b766b624a71664a6251644c5b514d6d594f6b0100"},
      {"bigIndexTestV2000 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658242)}, {ColumnType::Text, Asc, text("SummaryInfo")}},
       "7f8f0000027f6b6f60604a6976596253640100"},
      {"adox_jet4 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MSysQueries")}},
       "7f8f0000017f606b766b686f516959516b0100"},
      {"delTestV2000 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("MSysAccessXML")}},
       "7f8f0000017f606b766b4a4d4d516b6b75605e0100"},
      {"testV2000 MSysObjects.ParentIdName", Jet4,
       {{ColumnType::Long, Asc, num(251658241)}, {ColumnType::Text, Asc, text("Table4")}},
       "7f8f0000017f6d4a4c5e513e0100"},
  };
  return cases;
}

TEST(FixtureKeys, MatchWhatAccessStored) {
  for (const StoredKey& c : storedKeys()) {
    std::vector<KeyColumn> columns;
    std::vector<Value> values;
    for (const Part& p : c.parts) {
      columns.push_back({p.type, p.ascending, 0, "col"});
      values.push_back(p.value);
    }
    TextSortOrder order = c.format == Jet3 ? TextSortOrder::General97 : TextSortOrder::GeneralLegacy;
    EXPECT_EQ(toHex(encodeIndexKey(c.format, order, columns, values)), c.key) << c.where;
  }
}

TEST(FixtureKeys, SortOrderTheFixturesDeclare) {
  // Text columns in the Jet 4 fixtures declare 0x0409 version 0, the Jet 3 ones 0x0409.
  EXPECT_EQ(textSortOrderFor(Jet4, 0x0409, 0), TextSortOrder::GeneralLegacy);
  EXPECT_EQ(textSortOrderFor(Jet4, 0x0409, 1), TextSortOrder::General2010);
  EXPECT_EQ(textSortOrderFor(Jet3, 0x0409), TextSortOrder::General97);
  EXPECT_THROW(textSortOrderFor(Jet4, 0x0407, 0), std::runtime_error);
}

}  // namespace
}  // namespace fennick::jet
