// The compiled-in text sort tables against the published code lists they
// were generated from (reference/jet-collation, read in place): every
// character of every order must decode to the code its list gives. Then a
// few keys of non-Latin text, worked out by hand from those lists.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "jet_keys/index_key.h"
#include "key_test_util.h"
#include "test_support.h"
#include "text_sort.h"

namespace fennick::jet {
namespace {

using keys::detail::CharCode;
using keys::detail::CodeKind;
using keys::detail::SortTable;
using test::toHex;

std::vector<std::string> readLines(const std::string& name) {
  std::ifstream in(fennick::test::sharedPath("reference/jet-collation/" + name));
  EXPECT_TRUE(in.good()) << name;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string lowerHex(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string spanHex(std::span<const std::uint8_t> bytes) {
  return toHex(Bytes(bytes.begin(), bytes.end()));
}

// Describes a table entry in the lists' own notation, for comparison.
std::string describe(const CharCode& code) {
  auto hex = [](std::span<const std::uint8_t> b) {
    std::string s = spanHex(b);
    while (s.size() > 1 && s[0] == '0') s.erase(0, 1);
    return s;
  };
  // Built by appending: GCC 12 warns falsely about "S" + std::string.
  std::string out;
  auto add = [&out](char letter, std::initializer_list<std::string> fields) {
    out.push_back(letter);
    bool first = true;
    for (const std::string& f : fields) {
      if (!first) out.push_back(',');
      out.append(f);
      first = false;
    }
    return out;
  };
  switch (code.kind) {
    case CodeKind::Ignored: return add('X', {});
    case CodeKind::Simple: return add('S', {hex(code.sort)});
    case CodeKind::BaseLetter: return add('G', {hex(code.sort)});
    case CodeKind::Accented: return add('I', {hex(code.sort), hex(code.accent)});
    case CodeKind::Punctuation: return add('U', {hex(code.sort)});
    case CodeKind::Mark: return add('P', {hex(code.accent)});
    case CodeKind::Kana:
      return add('Z', {hex(code.sort), code.accent.empty() ? std::string() : hex(code.accent),
                       code.smallKana ? std::string("1") : std::string()});
  }
  return "?";
}

// The list's notation normalised the same way (no leading zeros per field).
std::string normalise(const std::string& line) {
  std::string out;
  out += line[0];
  std::string field;
  for (std::size_t i = 1; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == ',') {
      std::size_t nz = field.find_first_not_of('0');
      out += field.empty() ? "" : (nz == std::string::npos ? "0" : field.substr(nz));
      if (i < line.size()) out += ',';
      field.clear();
    } else {
      field += line[i];
    }
  }
  return lowerHex(out);
}

void expectTableMatches(const SortTable& table, const std::string& base, const std::string& ext) {
  std::vector<std::string> lines = readLines(base);
  ASSERT_EQ(lines.size(), 256u);
  std::vector<std::pair<std::uint32_t, std::string>> expected;
  for (std::uint32_t c = 0; c < 256; ++c) expected.emplace_back(c, lines[c]);
  if (!ext.empty()) {
    std::vector<std::string> more = readLines(ext);
    ASSERT_EQ(more.size(), 0x10000u - 0x100 - 0x800);
    std::size_t n = 0;
    for (std::uint32_t c = 0x100; c < 0x10000; ++c)
      if (c < 0xD800 || c >= 0xE000) expected.emplace_back(c, more[n++]);
  }
  int mismatches = 0;
  for (const auto& [c, line] : expected) {
    std::string want = normalise(line);
    std::string got = lowerHex(describe(table.lookup(c)));
    if (got != want && ++mismatches <= 5) ADD_FAILURE() << base << " U+" << std::hex << c << ": " << got << " vs " << want;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(CollationTables, General97MatchesItsList) {
  expectTableMatches(keys::detail::general97Table(), "index_codes_gen_97.txt", "");
}

TEST(CollationTables, GeneralLegacyMatchesItsLists) {
  expectTableMatches(keys::detail::generalLegacyTable(), "index_codes_genleg.txt",
                     "index_codes_ext_genleg.txt");
}

TEST(CollationTables, General2010MatchesItsLists) {
  expectTableMatches(keys::detail::general2010Table(), "index_codes_gen.txt", "index_codes_ext_gen.txt");
}

TEST(CollationTables, Access97KeysWindows1252Bytes) {
  // The euro sign and curly quotes are Windows-1252 bytes 0x80, 0x91, 0x92.
  EXPECT_EQ(keys::detail::general97Byte(U'\u20AC'), 0x80);
  EXPECT_EQ(keys::detail::general97Byte(U'\u2019'), 0x92);
  EXPECT_EQ(keys::detail::general97Byte(U'\u00E9'), 0xE9);
  EXPECT_EQ(keys::detail::general97Byte(U'\u4E2D'), '?');
}

struct TextCase {
  TextSortOrder order;
  const char* text;
  const char* key;  // without the column marker
  const char* from;
};

TEST(CollationTables, NonLatinTextKeys) {
  const TextCase cases[] = {
      {TextSortOrder::GeneralLegacy, "中文", "9f3db6f60100", "4E2D S9F3D, 6587 SB6F6"},
      {TextSortOrder::GeneralLegacy, "日本語", "b756b8a9dc7a0100", "65E5 SB756, 672C SB8A9, 8A9E SDC7A"},
      {TextSortOrder::General2010, "中文", "fdff3c97fdff54210100", "4E2D SFDFF3C97, 6587 SFDFF5421"},
      {TextSortOrder::GeneralLegacy, "αΩ", "790c79230100", "03B1 S790C, 03A9 S7923"},
      {TextSortOrder::GeneralLegacy, "Жж", "793879380100", "0416 and 0436 both S7938"},
      {TextSortOrder::General2010, "Жж", "101b101b0100", "0416 and 0436 both S101B"},
      {TextSortOrder::GeneralLegacy, "ß", "6b6b0100", "00DF S6B6B"},
      // Accents follow the sort bytes, one per letter, 0x02 for none.
      {TextSortOrder::GeneralLegacy, "é", "51010e00", "00E9 I51,E"},
      {TextSortOrder::GeneralLegacy, "eé", "515101020e00", "0065 S51, 00E9 I51,E"},
      {TextSortOrder::GeneralLegacy, "e\xCC\x81", "51010e00", "0301 PC adds 0C to e's 02"},
      {TextSortOrder::GeneralLegacy, "é1", "513801" "0e00", "trailing 02 dropped"},
      {TextSortOrder::General2010, "é", "0e2101" "0e00", "00E9 IE21,E"},
      {TextSortOrder::General97, "é", "660104" "00", "E9 I66,04"},
      {TextSortOrder::General97, "ae\xC3\xA9", "60666601020204" "00", "a, e G placeholders"},
  };
  for (const TextCase& c : cases) {
    KeyColumn column{ColumnType::Text, true, 0, "t"};
    Bytes key;
    appendKeyPart(key, c.order == TextSortOrder::General97 ? JetFormat::Jet3 : JetFormat::Jet4, c.order,
                  column, Value::text(c.text));
    EXPECT_EQ(toHex(key), std::string("7f") + c.key) << c.text << " (" << c.from << ")";
  }
}

}  // namespace
}  // namespace fennick::jet
