// Text key bytes in Access's General sort orders.
//
// Jet 4 (both General orders) keys text the way Windows sort keys are built,
// with Jet's own byte codes:
//   sort bytes of every character, 0x01,
//   then, only if some character carries an accent or is ignorable
//   punctuation: one accent byte per sorted character (0x02 for none,
//   trailing 0x02 dropped), and if there is punctuation 0x01 0x01 0x01 and
//   per punctuation character 0x80|hi(p) lo(p) 0x06 code with p = 7 + 4 *
//   its position in the text,
//   and a closing 0x00.
// Access 97 writes the sort bytes, then 0x01 and the accent bytes of the
// letters that have accented forms if any of them carries one, then 0x00.
// Case never reaches the key: "Admin" and "ADMIN" are the same entry.
// Relies on text_sort.h for the per-character codes and core/utf.h.
#include "text_key.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "core/utf.h"
#include "text_sort.h"

namespace fennick::jet::keys::detail {

namespace {

constexpr std::uint8_t kEndOfSortBytes = 0x01;
constexpr std::uint8_t kNoAccent = 0x02;
constexpr std::uint8_t kEndOfText = 0x00;
constexpr std::uint8_t kPunctuationMidfix = 0x06;
constexpr unsigned kPunctuationFirstPosition = 7;
constexpr unsigned kPunctuationPositionStep = 4;
constexpr unsigned kPunctuationPositionFlag = 0x8000;

std::string describe(char32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

// Room for the accent and punctuation sections of one key, known to be
// enough before the text is read, so bytes go in without checks: on the
// stack for all ordinary text, on the heap for very long text.
class Scratch {
 public:
  explicit Scratch(std::size_t bytes) : data_(bytes <= stack_.size() ? stack_.data() : (heap_.resize(bytes), heap_.data())) {}
  std::uint8_t* data() { return data_; }

 private:
  std::array<std::uint8_t, 4096> stack_;
  Bytes heap_;
  std::uint8_t* data_;
};

std::uint8_t* put(std::uint8_t* at, std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) *at++ = b;  // one to four bytes: no call to memcpy
  return at;
}

// The accent section in the making: one slot of bytes per sorted character,
// written from `room` on. Slots of no accent at the end say nothing and are
// left out, so they are only counted until a slot with an accent follows
// them (text without accents, the usual case, never writes one).
class AccentSlots {
 public:
  explicit AccentSlots(std::uint8_t* room) : begin_(room), end_(room) {}
  void add(std::span<const std::uint8_t> slot) {
    if (slot.size() == 1 && slot[0] == kNoAccent) return addNone();
    writeNone();
    end_ = put(end_, slot);
    ++slots_;
  }
  void addNone(std::size_t count = 1) {
    pendingNone_ += count;
    slots_ += count;
  }
  bool empty() const { return slots_ == 0; }
  // Adds to the last slot's last byte.
  void addToLast(std::uint8_t weight) {
    if (weight == 0) return;
    if (pendingNone_ > 0) {
      --pendingNone_;
      writeNone();
      *end_++ = kNoAccent;
    }
    end_[-1] = static_cast<std::uint8_t>(end_[-1] + weight);
  }
  // The slots without the trailing ones of no accent.
  std::span<const std::uint8_t> written() const { return {begin_, end_}; }

 private:
  void writeNone() {
    std::memset(end_, kNoAccent, pendingNone_);
    end_ += pendingNone_;
    pendingNone_ = 0;
  }
  std::uint8_t* begin_;
  std::uint8_t* end_;
  std::size_t slots_ = 0;
  std::size_t pendingNone_ = 0;
};

// A punctuation entry for the character at UTF-16 position `i` of `utf8`.
std::uint8_t* punctuate(std::uint8_t* at, std::size_t i, std::span<const std::uint8_t> code, std::string_view utf8) {
  unsigned position = kPunctuationFirstPosition + kPunctuationPositionStep * static_cast<unsigned>(i);
  if (position >= kPunctuationPositionFlag)
    throw std::runtime_error("text of " + std::to_string(utf16Length(utf8)) + " characters is too long for an index key");
  position |= kPunctuationPositionFlag;
  *at++ = static_cast<std::uint8_t>(position >> 8);
  *at++ = static_cast<std::uint8_t>(position & 0xFF);
  *at++ = kPunctuationMidfix;
  return put(at, code);
}

// The sort bytes go straight into `out`, into room for the most `characters`
// could give; the caller cuts `out` back to where they ended.
std::uint8_t* makeRoom(Bytes& out, std::size_t characters, const SortTable& table) {
  const std::size_t start = out.size();
  out.resize(start + characters * table.longestSort());
  return out.data() + start;
}

void appendJet4TextKey(Bytes& out, const SortTable& table, std::string_view utf8) {
  // A UTF-8 byte gives at most one UTF-16 unit, so the byte count bounds
  // every section. Accent slots take at least one byte where they are
  // written; a punctuation entry takes its position, a midfix and its code.
  const std::size_t units = utf8.size();
  const std::size_t accentRoom = units * std::max<std::size_t>(table.longestAccent(), 1);
  Scratch scratch(accentRoom + units * (3 + table.longestSort()));
  AccentSlots accents(scratch.data());
  std::uint8_t* const punctuationBegin = scratch.data() + accentRoom;
  std::uint8_t* punctuation = punctuationBegin;
  std::uint8_t* sort = makeRoom(out, units, table);
  // The text's UTF-16 units one by one (keys are made for every row, so the
  // text is not converted as a whole); `i` counts them.
  std::size_t pos = 0, i = 0;
  char16_t pair[2];
  std::size_t inPair = 0, pairSize = 0;
  for (;; ++i) {
    if (inPair == pairSize) {
      if (pos >= utf8.size()) break;
      const auto lead = static_cast<unsigned char>(utf8[pos]);
      // Most text is ASCII letters, digits and punctuation: keyed from a
      // small table, two sort bytes written at once (the room allows it).
      if (lead < 0x80) {
        const SortTable::Ascii& a = table.ascii(lead);
        if (a.fast && a.kind == CodeKind::Simple) {
          // A run of them in one go, its counts kept in registers.
          std::size_t run = 0;
          for (const SortTable::Ascii* r = &a;;) {
            sort[0] = r->sort[0];
            sort[1] = r->sort[1];
            sort += r->length;
            ++run;
            if (pos + run >= utf8.size() || static_cast<unsigned char>(utf8[pos + run]) >= 0x80) break;
            r = &table.ascii(static_cast<unsigned char>(utf8[pos + run]));
            if (!r->fast || r->kind != CodeKind::Simple) break;
          }
          pos += run;
          i += run - 1;  // the loop counts the last
          accents.addNone(run);
          continue;
        }
        if (a.fast) {
          ++pos;
          punctuation = punctuate(punctuation, i, {a.sort, a.length}, utf8);
          continue;
        }
      }
      const char32_t c = lead < 0x80 ? (++pos, lead) : nextCodePoint(utf8, pos);
      inPair = 0;
      pairSize = c > 0xFFFF ? 2 : 1;
      if (c > 0xFFFF) {
        pair[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        pair[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        pair[0] = static_cast<char16_t>(c);
      }
    }
    const char16_t unit = pair[inPair++];
    const CharCode code = table.lookup(unit);
    switch (code.kind) {
      case CodeKind::Ignored:
        break;
      case CodeKind::Simple:
      case CodeKind::BaseLetter:
        sort = put(sort, code.sort);
        accents.addNone();
        break;
      case CodeKind::Kana:
        if (code.smallKana)
          throw std::runtime_error("the small kana " + describe(unit) +
                                   " cannot be written into an index key yet");
        [[fallthrough]];
      case CodeKind::Accented:
        sort = put(sort, code.sort);
        if (code.accent.empty())
          accents.addNone();
        else
          accents.add(code.accent);
        break;
      case CodeKind::Mark:
        // A combining mark folds into the accent of the character before it,
        // so "e" + U+0301 keys like "é".
        if (!accents.empty() && !code.accent.empty())
          accents.addToLast(code.accent.back());
        break;
      case CodeKind::Punctuation:
        punctuation = punctuate(punctuation, i, code.sort, utf8);
        break;
    }
  }
  out.resize(static_cast<std::size_t>(sort - out.data()));
  out.push_back(kEndOfSortBytes);
  const auto accentBytes = accents.written();
  out.insert(out.end(), accentBytes.begin(), accentBytes.end());
  if (punctuation != punctuationBegin) {
    // Empty sections for case and kana forms, then the punctuation one.
    out.insert(out.end(), {kEndOfSortBytes, kEndOfSortBytes, kEndOfSortBytes});
    out.insert(out.end(), punctuationBegin, punctuation);
  }
  out.push_back(kEndOfText);
}

void appendJet3TextKey(Bytes& out, std::string_view utf8) {
  const SortTable& table = general97Table();
  Scratch scratch(utf8.size() * std::max<std::size_t>(table.longestAccent(), 1));
  AccentSlots accents(scratch.data());
  bool anyAccent = false;
  std::uint8_t* sort = makeRoom(out, utf8.size(), table);
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = nextCodePoint(utf8, pos);
    const CharCode code = table.lookup(general97Byte(c));
    switch (code.kind) {
      case CodeKind::Ignored:
      case CodeKind::Punctuation:
      case CodeKind::Mark:
        break;
      case CodeKind::Simple:
        sort = put(sort, code.sort);
        break;
      case CodeKind::BaseLetter:
        sort = put(sort, code.sort);
        accents.addNone();
        break;
      case CodeKind::Accented:
      case CodeKind::Kana:
        sort = put(sort, code.sort);
        accents.add(code.accent);
        anyAccent = true;
        break;
    }
  }
  out.resize(static_cast<std::size_t>(sort - out.data()));
  if (anyAccent) {
    out.push_back(kEndOfSortBytes);
    const auto accentBytes = accents.written();
    out.insert(out.end(), accentBytes.begin(), accentBytes.end());
  }
  out.push_back(kEndOfText);
}

}  // namespace

void appendTextKey(Bytes& out, TextSortOrder order, std::string_view utf8) {
  switch (order) {
    case TextSortOrder::General97:
      appendJet3TextKey(out, utf8);
      return;
    case TextSortOrder::GeneralLegacy:
      appendJet4TextKey(out, generalLegacyTable(), utf8);
      return;
    case TextSortOrder::General2010:
      appendJet4TextKey(out, general2010Table(), utf8);
      return;
  }
  throw std::logic_error("unknown text sort order");
}

}  // namespace fennick::jet::keys::detail
