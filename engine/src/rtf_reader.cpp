// The RTF reader: one pass over the document with an explicit stack of group
// states, so deep nesting costs memory in proportion to the input and never
// recursion. Text is collected as pending bytes (in one code page) or pending
// UTF-16 units and decoded whenever the kind or code page changes.
#include "rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "core/utf.h"
#include "platform/codepage.h"

namespace fennick {
namespace {

// Groups that hold no visible text. Every "{\*\word" group is skipped too;
// these are the ones written without the star.
constexpr std::array<std::string_view, 56> kSkippedDestinations = {
    "aftncn",    "aftnsep",   "aftnsepc",  "annotation", "atnauthor", "atndate",
    "atnicn",    "atnid",     "atnref",    "atntime",    "atrfend",   "atrfstart",
    "author",    "bkmkend",   "bkmkstart", "buptim",     "colortbl",  "comment",
    "creatim",   "datafield", "doccomm",   "fldinst",    "footer",    "footerf",
    "footerl",   "footerr",   "footnote",  "ftncn",      "ftnsep",    "ftnsepc",
    "generator", "header",    "headerf",   "headerl",    "headerr",   "info",
    "keywords",  "listtable", "listtext",  "nonshppict", "objdata",   "object",
    "operator",  "pict",      "pntext",    "pntxta",     "pntxtb",    "printim",
    "revtbl",    "revtim",    "rsidtbl",   "shprslt",    "stylesheet", "subject",
    "title",     "xe",
};
static_assert(std::ranges::is_sorted(kSkippedDestinations));

bool isSkippedDestination(std::string_view word) {
  return std::binary_search(kSkippedDestinations.begin(), kSkippedDestinations.end(), word);
}

struct Symbol {
  std::string_view word;
  char32_t codePoint;
};
constexpr std::array<Symbol, 15> kSymbolWords = {{
    {"bullet", 0x2022},    {"emdash", 0x2014}, {"emspace", 0x2003}, {"endash", 0x2013},
    {"enspace", 0x2002},   {"ldblquote", 0x201C}, {"lquote", 0x2018}, {"ltrmark", 0x200E},
    {"qmspace", 0x2005},   {"rdblquote", 0x201D}, {"rquote", 0x2019}, {"rtlmark", 0x200F},
    {"zwbo", 0x200B},      {"zwj", 0x200D},    {"zwnj", 0x200C},
}};

// The Windows code page of an \fcharsetN value; 0 where the document's own
// code page applies (ANSI, default and symbol character sets, unknown ones).
unsigned codePageOfCharset(std::int64_t charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
  }
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parameters are read to the last digit but held within this bound, so a
// run of digits cannot overflow; every meaningful value is far smaller.
constexpr std::int64_t kParameterLimit = 10'000'000'000;

struct GroupState {
  int font = -1;  // -1: the document's default font (\deffN)
  std::int64_t unicodeFallbackCount = 1;  // \ucN
  bool skipped = false;                   // inside a destination without text
  bool inFontTable = false;
  bool unicodePair = false;               // an \upr group
  bool skippedOutsidePair = false;        // `skipped` before \upr took effect
};

class RtfReader {
 public:
  RtfReader(std::string_view input, const RtfReadOptions& options)
      : in_(input), options_(options), documentCodePage_(options.defaultCodePage) {}

  std::optional<std::string> read() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == '{') {
        ++pos_;
        fallbackToSkip_ = 0;
        const GroupState inherited = groups_.empty() ? GroupState{} : groups_.back();
        groups_.push_back(inherited);
      } else if (c == '}') {
        ++pos_;
        fallbackToSkip_ = 0;
        if (groups_.empty()) return std::nullopt;
        groups_.pop_back();
        if (groups_.empty()) return finish();
      } else if (c == '\\') {
        if (!readControl()) return std::nullopt;
      } else if (c == '\r' || c == '\n') {
        ++pos_;
      } else {
        ++pos_;
        if (groups_.empty()) return std::nullopt;
        literalCharacter(static_cast<unsigned char>(c));
      }
    }
    return std::nullopt;  // the document's group never closed
  }

 private:
  GroupState& group() { return groups_.back(); }

  std::optional<std::string> finish() {
    for (; pos_ < in_.size(); ++pos_) {
      const char c = in_[pos_];
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0') return std::nullopt;
    }
    flush();
    if (lastParagraphEnd_ == out_.size() && out_.size() >= 2) out_.resize(out_.size() - 2);
    return toValidUtf8(out_);
  }

  // At a backslash. False when the document ends inside the control.
  bool readControl() {
    ++pos_;
    if (pos_ >= in_.size()) return false;
    const char first = in_[pos_];
    if (isAsciiLetter(first)) {
      const std::size_t start = pos_;
      while (pos_ < in_.size() && isAsciiLetter(in_[pos_])) ++pos_;
      const std::string_view word = in_.substr(start, pos_ - start);
      bool negative = false;
      if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
      }
      bool hasParameter = false;
      std::int64_t parameter = 0;
      while (pos_ < in_.size() && isDigit(in_[pos_])) {
        hasParameter = true;
        parameter = std::min(kParameterLimit, parameter * 10 + (in_[pos_] - '0'));
        ++pos_;
      }
      if (negative) parameter = -parameter;
      if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
      return controlWord(word, hasParameter, parameter);
    }
    ++pos_;
    if (first == '\'') {
      if (pos_ + 2 > in_.size()) return false;
      const int high = hexValue(in_[pos_]);
      const int low = hexValue(in_[pos_ + 1]);
      if (high < 0 || low < 0) return false;
      pos_ += 2;
      if (consumeFallback() || group().skipped) return true;
      appendByte(static_cast<unsigned char>(high * 16 + low), currentCodePage());
      return true;
    }
    controlSymbol(first);
    return true;
  }

  bool controlWord(std::string_view word, bool hasParameter, std::int64_t parameter) {
    if (word == "bin") {
      // Binary data: never text, and it may hold any byte, braces included.
      if (hasParameter && parameter > 0) {
        if (static_cast<std::uint64_t>(parameter) > in_.size() - pos_) return false;
        pos_ += static_cast<std::size_t>(parameter);
      }
      consumeFallback();
      return true;
    }
    if (consumeFallback()) return true;
    GroupState& g = group();
    if (g.inFontTable) {
      fontTableWord(word, parameter);
      return true;
    }
    if (word == "fonttbl") {
      g.skipped = true;
      g.inFontTable = true;
      return true;
    }
    if (word == "upr") {
      // {\upr{ANSI text}{\*\ud{Unicode text}}}: only the Unicode half is read.
      g.skippedOutsidePair = g.skipped;
      g.unicodePair = true;
      g.skipped = true;
      return true;
    }
    if (word == "ud") {
      if (groups_.size() >= 2 && groups_[groups_.size() - 2].unicodePair)
        g.skipped = groups_[groups_.size() - 2].skippedOutsidePair;
      g.unicodePair = false;
      return true;
    }
    if (isSkippedDestination(word)) {
      g.skipped = true;
      return true;
    }
    if (word == "ansicpg") {
      if (parameter > 0 && parameter < 100000) documentCodePage_ = static_cast<unsigned>(parameter);
      return true;
    }
    if (word == "deff") {
      defaultFont_ = static_cast<int>(std::clamp<std::int64_t>(parameter, -1, 1 << 30));
      return true;
    }
    if (word == "f") {
      g.font = static_cast<int>(std::clamp<std::int64_t>(parameter, -1, 1 << 30));
      return true;
    }
    if (word == "plain") {
      g.font = -1;
      return true;
    }
    if (word == "uc") {
      g.unicodeFallbackCount = std::max<std::int64_t>(0, parameter);
      return true;
    }
    if (g.skipped) return true;
    if (word == "u") {
      const std::int64_t unit = parameter < 0 ? parameter + 65536 : parameter;
      if (unit >= 0 && unit <= 0xFFFF) {
        appendUnit(static_cast<char16_t>(unit));
      } else {
        appendCodePoint(0xFFFD);
      }
      fallbackToSkip_ = g.unicodeFallbackCount;
      return true;
    }
    if (word == "par") {
      paragraphMark();
    } else if (word == "line" || word == "sect" || word == "page" || word == "row") {
      appendText("\r\n");
    } else if (word == "tab" || word == "cell" || word == "nestcell") {
      appendText("\t");
    } else {
      for (const Symbol& s : kSymbolWords) {
        if (s.word == word) {
          appendCodePoint(s.codePoint);
          break;
        }
      }
    }
    return true;
  }

  void fontTableWord(std::string_view word, std::int64_t parameter) {
    if (word == "f") {
      fontBeingDefined_ = static_cast<int>(std::clamp<std::int64_t>(parameter, -1, 1 << 30));
    } else if (word == "fcharset") {
      if (const unsigned cp = codePageOfCharset(parameter)) fontCodePages_[fontBeingDefined_] = cp;
    } else if (word == "cpg") {
      if (parameter > 0 && parameter < 100000)
        fontCodePages_[fontBeingDefined_] = static_cast<unsigned>(parameter);
    }
  }

  void controlSymbol(char symbol) {
    if (consumeFallback()) return;
    if (symbol == '*') {
      group().skipped = true;
      return;
    }
    if (group().skipped) return;
    switch (symbol) {
      case '\\':
      case '{':
      case '}': appendByte(static_cast<unsigned char>(symbol), currentCodePage()); break;
      case '~': appendCodePoint(0x00A0); break;
      case '_': appendCodePoint(0x2011); break;
      case '\r':
      case '\n': paragraphMark(); break;
      default: break;  // \- optional hyphen, \: index subentry, \| formula, unknown ones
    }
  }

  void literalCharacter(unsigned char c) {
    if (consumeFallback()) {
      // A UTF-8 character is one fallback character, however many bytes.
      if (options_.literalTextIsUtf8 && c >= 0xC0)
        while (pos_ < in_.size() && (static_cast<unsigned char>(in_[pos_]) & 0xC0) == 0x80) ++pos_;
      return;
    }
    if (group().skipped) return;
    const bool unicode = options_.literalTextIsUtf8 && c >= 0x80;
    appendByte(c, unicode ? 65001 : currentCodePage());
  }

  // True when the character just read is one of a \uN's fallback characters.
  bool consumeFallback() {
    if (fallbackToSkip_ == 0) return false;
    --fallbackToSkip_;
    return true;
  }

  unsigned currentCodePage() const {
    const int font = groups_.back().font >= 0 ? groups_.back().font : defaultFont_;
    const auto found = fontCodePages_.find(font);
    return found != fontCodePages_.end() ? found->second : documentCodePage_;
  }

  void paragraphMark() {
    appendText("\r\n");
    lastParagraphEnd_ = out_.size();
  }

  void appendByte(unsigned char byte, unsigned codePage) {
    if (!pendingUnits_.empty() || (!pendingBytes_.empty() && codePage != pendingCodePage_)) flush();
    pendingBytes_.push_back(static_cast<char>(byte));
    pendingCodePage_ = codePage;
  }

  void appendUnit(char16_t unit) {
    if (!pendingBytes_.empty()) flush();
    pendingUnits_.push_back(unit);
  }

  void appendCodePoint(char32_t codePoint) {
    flush();
    appendUtf8(out_, codePoint);
  }

  void appendText(std::string_view utf8) {
    flush();
    out_ += utf8;
  }

  void flush() {
    if (!pendingBytes_.empty()) {
      // Every code page a document can name keeps ASCII as it is, so most
      // runs need no conversion.
      const bool ascii = std::ranges::all_of(pendingBytes_, [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
      });
      if (ascii) {
        out_ += pendingBytes_;
      } else {
        out_ += pendingCodePage_ == 65001
                    ? toValidUtf8(pendingBytes_)
                    : platform::fromCodePage(pendingCodePage_, pendingBytes_);
      }
      pendingBytes_.clear();
    }
    if (!pendingUnits_.empty()) {
      out_ += utf16ToUtf8(pendingUnits_);
      pendingUnits_.clear();
    }
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  RtfReadOptions options_;
  std::vector<GroupState> groups_;

  unsigned documentCodePage_;
  int defaultFont_ = -1;
  int fontBeingDefined_ = -1;
  std::map<int, unsigned> fontCodePages_;

  std::int64_t fallbackToSkip_ = 0;
  std::string pendingBytes_;
  unsigned pendingCodePage_ = 0;
  std::u16string pendingUnits_;
  std::string out_;
  std::size_t lastParagraphEnd_ = std::string::npos;
};

}  // namespace

bool looksLikeRtf(std::string_view document) { return document.starts_with("{\\rtf"); }

std::optional<std::string> rtfToPlainText(std::string_view document,
                                          const RtfReadOptions& options) {
  if (!looksLikeRtf(document)) return std::nullopt;
  return RtfReader(document, options).read();
}

}  // namespace fennick
