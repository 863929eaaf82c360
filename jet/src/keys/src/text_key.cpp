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

#include <cstdio>
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

// The accent section in the making: one slot of bytes per sorted character.
// Slots of no accent at the end say nothing and are left out, so they are
// only counted until a slot with an accent follows them (text without
// accents, the usual case, never writes one).
class AccentSlots {
 public:
  void add(std::span<const std::uint8_t> slot) {
    if (slot.size() == 1 && slot[0] == kNoAccent) return addNone();
    writeNone();
    bytes_.insert(bytes_.end(), slot.begin(), slot.end());
    ++slots_;
  }
  void addNone() {
    ++pendingNone_;
    ++slots_;
  }
  bool empty() const { return slots_ == 0; }
  // Adds to the last slot's last byte.
  void addToLast(std::uint8_t weight) {
    if (weight == 0) return;
    if (pendingNone_ > 0) {
      --pendingNone_;
      writeNone();
      bytes_.push_back(kNoAccent);
    }
    bytes_.back() = static_cast<std::uint8_t>(bytes_.back() + weight);
  }
  // The slots without the trailing ones of no accent.
  void appendTo(Bytes& out) const { out.insert(out.end(), bytes_.begin(), bytes_.end()); }

 private:
  void writeNone() {
    bytes_.insert(bytes_.end(), pendingNone_, kNoAccent);
    pendingNone_ = 0;
  }
  Bytes bytes_;
  std::size_t slots_ = 0;
  std::size_t pendingNone_ = 0;
};

void appendJet4TextKey(Bytes& out, const SortTable& table, std::string_view utf8) {
  AccentSlots accents;
  Bytes punctuation;
  // The text's UTF-16 units one by one (keys are made for every row, so the
  // text is not converted as a whole); `i` counts them.
  std::size_t pos = 0, i = 0;
  char16_t pair[2];
  std::size_t inPair = 0, pairSize = 0;
  for (;; ++i) {
    if (inPair == pairSize) {
      if (pos >= utf8.size()) break;
      const char32_t c = nextCodePoint(utf8, pos);
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
    CharCode code = table.lookup(unit);
    switch (code.kind) {
      case CodeKind::Ignored:
        break;
      case CodeKind::Simple:
      case CodeKind::BaseLetter:
        out.insert(out.end(), code.sort.begin(), code.sort.end());
        accents.addNone();
        break;
      case CodeKind::Kana:
        if (code.smallKana)
          throw std::runtime_error("the small kana " + describe(unit) +
                                   " cannot be written into an index key yet");
        [[fallthrough]];
      case CodeKind::Accented:
        out.insert(out.end(), code.sort.begin(), code.sort.end());
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
      case CodeKind::Punctuation: {
        unsigned position = kPunctuationFirstPosition + kPunctuationPositionStep * static_cast<unsigned>(i);
        if (position >= kPunctuationPositionFlag)
          throw std::runtime_error("text of " + std::to_string(utf16Length(utf8)) +
                                   " characters is too long for an index key");
        position |= kPunctuationPositionFlag;
        punctuation.push_back(static_cast<std::uint8_t>(position >> 8));
        punctuation.push_back(static_cast<std::uint8_t>(position & 0xFF));
        punctuation.push_back(kPunctuationMidfix);
        punctuation.insert(punctuation.end(), code.sort.begin(), code.sort.end());
        break;
      }
    }
  }
  out.push_back(kEndOfSortBytes);
  accents.appendTo(out);
  if (!punctuation.empty()) {
    // Empty sections for case and kana forms, then the punctuation one.
    out.insert(out.end(), {kEndOfSortBytes, kEndOfSortBytes, kEndOfSortBytes});
    out.insert(out.end(), punctuation.begin(), punctuation.end());
  }
  out.push_back(kEndOfText);
}

void appendJet3TextKey(Bytes& out, std::string_view utf8) {
  const SortTable& table = general97Table();
  AccentSlots accents;
  bool anyAccent = false;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = nextCodePoint(utf8, pos);
    CharCode code = table.lookup(general97Byte(c));
    switch (code.kind) {
      case CodeKind::Ignored:
      case CodeKind::Punctuation:
      case CodeKind::Mark:
        break;
      case CodeKind::Simple:
        out.insert(out.end(), code.sort.begin(), code.sort.end());
        break;
      case CodeKind::BaseLetter:
        out.insert(out.end(), code.sort.begin(), code.sort.end());
        accents.addNone();
        break;
      case CodeKind::Accented:
      case CodeKind::Kana:
        out.insert(out.end(), code.sort.begin(), code.sort.end());
        accents.add(code.accent);
        anyAccent = true;
        break;
    }
  }
  if (anyAccent) {
    out.push_back(kEndOfSortBytes);
    accents.appendTo(out);
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
