// "Convert BLOB to text": RTF documents as editors save them, marked and
// unmarked plain text, malformed RTF falling back to text, and input built
// to break the reader (deep nesting, cut-off controls, huge parameters).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/utf.h"
#include "engine/blob_text.h"
#include "platform/codepage.h"

namespace fennick {
namespace {

Bytes bytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

std::string textOf(std::string_view s) {
  const auto text = blobToText(bytesOf(s));
  EXPECT_TRUE(text.has_value());
  return text.value_or("<not loaded>");
}

std::string utf16(std::u16string_view units, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t u : units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

// As the Windows rich-edit editor saves it.
const char* const kEditorDocument =
    R"({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang1033{\fonttbl{\f0\fnil\fcharset0 Calibri;}{\f1\fnil\fcharset134 SimSun;}}
{\colortbl ;\red255\green0\blue0;}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1 
\pard\sa200\sl276\slmult1\f0\fs22\lang9 Caf\'e9 au \b lait\b0 , \cf1 red\cf0\par
Chinese: \f1\u20013?\f0  end\par
}
)";

// As a full word processor saves it, cut down to what matters: header
// destinations, a page header, list text, a field, pictures, double-byte
// fallbacks, a Cyrillic font and an \upr pair.
const char* const kWordProcessorDocument =
    R"({\rtf1\adeflang1025\ansi\ansicpg1252\uc1\adeff0\deff0\stshfdbch0\deflang1033{\fonttbl{\f0\fbidi \froman\fcharset0\fprq2{\*\panose 02020603050405020304}Times New Roman;}
{\f13\fbidi \fnil\fcharset134\fprq2{\*\panose 02010600030101010101}SimSun{\*\falt \'cb\'ce\'cc\'e5};}
{\f204\fbidi \fswiss\fcharset204\fprq2 Calibri Cyr;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}
{\stylesheet{\ql \li0\ri0\widctlpar\rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \fs24\lang1033 \snext0 \sqformat \spriority0 Normal;}{\*\cs10 \additive \ssemihidden Default Paragraph Font;}}
{\*\rsidtbl \rsid1050934\rsid6960453}{\*\mmathPr\mmathFont34\mbrkBin0}
{\info{\title Memo}{\author Jane Doe}{\operator Jane Doe}{\creatim\yr2024\mo3\dy5\hr10\min2}{\version2}}
{\*\xmlnstbl {\xmlns1 http://example.com/ns}}
\paperw12240\paperh15840\margl1440\margr1440\gutter0\ltrsect
{\header \pard\plain \ltrpar\ql Page header\par}
\pard\plain \ltrpar\ql \li0\ri0\widctlpar\rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \fs24\lang1033 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid6960453 \'93Quoted\'94 \{braces\} and back\\slash\tab tabbed}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid6960453 \par }
{\listtext\pard\plain \f3\fs24 \'b7\tab}\ls1 Bullet item\par
{\field{\*\fldinst {\insrsid1 HYPERLINK "http://example.com/" }}{\fldrslt {\cs15\ul\cf2\insrsid1 link text}}}\line next\par
{\*\shppict{\pict{\*\picprop}\wmetafile8\picw100\pich100 0102ff}}{\nonshppict{\pict\wmetafile8 0102}}
\f13\uc2\u20013\'d6\'d0\u25991\'ce\'c4\uc1  and \f204\'c4\'e0 and {\upr{legacy}{\*\ud{\u915?}}}\par
{\*\themedata 504b0304}{\*\datastore 0105}}
)";

struct Case {
  const char* name;
  std::string bytes;
  std::string text;
};

TEST(BlobToText, GivesTheTextOfEachKindOfValue) {
  const std::vector<Case> cases = {
      {"rich-edit editor document", kEditorDocument, "Café au lait, red\r\nChinese: 中 end"},
      {"word processor document", kWordProcessorDocument,
       "“Quoted” {braces} and back\\slash\ttabbed\r\nBullet item\r\nlink text\r\nnext\r\n"
       "中文 and Да and Γ"},
      {"only the last paragraph mark is dropped", R"({\rtf1 one\par\par})", "one\r\n"},
      {"a line break at the end stays", R"({\rtf1 a\line})", "a\r\n"},
      {"backslash before a line end is a paragraph", "{\\rtf1 a\\\nb\\\r\nc}", "a\r\nb\r\nc"},
      {"source line ends are not text", "{\\rtf1 a\r\nb\nc}", "abc"},
      {"control symbols", R"({\rtf1 a\~b\_c\-d \{\}\\})", "a\u00A0b\u2011cd {}\\"},
      {"surrogate pair", R"({\rtf1\uc1\u-10179?\u-8704?})", "😀"},
      {"no fallback characters", R"({\rtf1\uc0\u233 x})", "éx"},
      {"\\uc belongs to its group", R"({\rtf1{\uc2\u233 xy}\u233 xz})", "ééz"},
      {"binary data may hold braces", R"({\rtf1 a{\pict\bin4 }}{{}b})", "ab"},
      {"document code page", R"({\rtf1\ansi\ansicpg1251 \'e9})", "й"},
      {"double-byte code page", R"({\rtf1\ansi\ansicpg936 \'d6\'d0\'ce\'c4})", "中文"},
      {"no code page named", R"({\rtf1\ansi caf\'e9})", "café"},
      {"white space and NULs after the document", std::string("{\\rtf1 x}\r\n\0\0", 13), "x"},
      {"RTF behind a UTF-8 mark", "\xEF\xBB\xBF{\\rtf1 Grüße\\par}", "Grüße"},
      {"a UTF-8 character is one fallback character", "\xEF\xBB\xBF{\\rtf1\\u233 éx}", "éx"},
      {"the default font's code page",
       R"({\rtf1\deff1{\fonttbl{\f1\fcharset204 X;}}\'e9\plain\'e9})", "йй"},
      {"RTF behind a UTF-16 mark", utf16(u"{\\rtf1 x\\par \\u233?}", false), "x\r\né"},

      {"UTF-8 with mark", "\xEF\xBB\xBFGrüße\nzwei\r\ndrei\r", "Grüße\r\nzwei\r\ndrei\r\n"},
      {"UTF-16 little-endian", utf16(u"Aé中😀", false), "Aé中😀"},
      {"UTF-16 big-endian", utf16(u"Aé中😀", true), "Aé中😀"},
      {"UTF-16 odd length and lone surrogate", utf16(u"a\xD800", false) + "b", "a\uFFFD\uFFFD"},
      {"invalid UTF-8", "\xEF\xBB\xBF" "a\xFF" "b", "a\uFFFDb"},
      {"plain ASCII", "Hello\nworld", "Hello\r\nworld"},
      {"empty", "", ""},
      {"mark only", "\xFF\xFE", ""},

      {"unclosed group", R"({\rtf1 {unclosed})", R"({\rtf1 {unclosed})"},
      {"data after the document", R"({\rtf1 a}})", R"({\rtf1 a}})"},
      {"cut-off hex byte", R"({\rtf1 x\'4})", R"({\rtf1 x\'4})"},
      {"binary data past the end", R"({\rtf1 x\bin99 ab})", R"({\rtf1 x\bin99 ab})"},
      {"not at the start", R"( {\rtf1 x})", R"( {\rtf1 x})"},
      {"malformed RTF behind a mark", "\xEF\xBB\xBF{\\rtf1 é", "{\\rtf1 é"},
  };
  for (const Case& c : cases) EXPECT_EQ(textOf(c.bytes), c.text) << c.name;
}

TEST(BlobToText, UnmarkedTextIsInTheAnsiCodePage) {
  std::string expected;
  switch (platform::ansiCodePage()) {
    case 1252: expected = "café\r\n"; break;
    case 65001: expected = "caf\uFFFD\r\n"; break;
    default: GTEST_SKIP() << "ANSI code page " << platform::ansiCodePage();
  }
  EXPECT_EQ(textOf("caf\xE9\n"), expected);
}

TEST(BlobToText, SurvivesInputBuiltToBreakTheReader) {
  constexpr int kDepth = 100000;
  const std::string deep = "{\\rtf1" + std::string(kDepth, '{') + "x" + std::string(kDepth, '}') + "}";
  EXPECT_EQ(textOf(deep), "x");
  const std::string deepUnclosed = "{\\rtf1" + std::string(kDepth, '{') + "x";
  EXPECT_EQ(textOf(deepUnclosed), deepUnclosed);

  const std::vector<Case> cases = {
      {"cut-off control word", R"({\rtf1 \pa)", R"({\rtf1 \pa)"},
      {"backslash at the end", R"({\rtf1 x\)", R"({\rtf1 x\)"},
      {"\\' at the end", R"({\rtf1 x\')", R"({\rtf1 x\')"},
      {"huge \\u", R"({\rtf1\u99999999999999999999999 ?\u-99999999999 ?})", "\uFFFD\uFFFD"},
      {"huge \\uc", R"({\rtf1\uc99999999999999 \u65 abc\par})", "A"},
      {"huge \\bin", R"({\rtf1\bin99999999999999999999 x})", R"({\rtf1\bin99999999999999999999 x})"},
      {"huge font numbers", R"({\rtf1{\fonttbl{\f99999999999\fcharset204;}}\f99999999999 \'e9})", "й"},
  };
  for (const Case& c : cases) EXPECT_EQ(textOf(c.bytes), c.text) << c.name;

  // Token soup: whatever comes out must be loadable UTF-8.
  const std::vector<std::string> tokens = {
      "{", "}", "\\", "\\'", "\\'e9", "\\'d6", "\\u-10179", "\\u233", "\\uc3 ", "\\bin2 ",
      "\\*", "\\par", "\\fonttbl", "\\f1", "\\fcharset134", "\\ansicpg936", "\\upr", "\\ud",
      "x", "\xC3", "\xFF", "\r\n", " ", "\\~", "\\line"};
  const std::vector<std::string> prefixes = {"{\\rtf1", "\xEF\xBB\xBF{\\rtf1", "\xFF\xFE"};
  std::mt19937 random(20240305);
  for (int round = 0; round < 3000; ++round) {
    std::string doc = prefixes[round % prefixes.size()];
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) doc += tokens[random() % tokens.size()];
    const auto text = blobToText(bytesOf(doc));
    ASSERT_TRUE(text.has_value()) << doc;
    ASSERT_TRUE(isValidUtf8(*text)) << doc;
  }
}

}  // namespace
}  // namespace fennick
