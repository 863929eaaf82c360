// Per-character sort codes of one text sort order, expanded from the
// generated streams in collation_tables.cpp. Relies on nothing but those
// tables; text_key.cpp turns the codes into key bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace fennick::jet::keys::detail {

// What a character contributes to a text key.
enum class CodeKind : std::uint8_t {
  Ignored = 0,      // left out of the key entirely
  Simple = 1,       // sort bytes only
  Accented = 2,     // sort bytes and an accent byte
  Punctuation = 3,  // no sort bytes; keyed by position after the accents
  Mark = 4,         // combining mark: adds to the previous accent byte
  Kana = 5,         // sort bytes, accent byte and a small-form flag
  BaseLetter = 6,   // Access 97: a letter that has accented forms
};

struct CharCode {
  CodeKind kind = CodeKind::Ignored;
  bool smallKana = false;
  std::span<const std::uint8_t> sort;    // for Punctuation: its code
  std::span<const std::uint8_t> accent;  // for Mark: the weight it adds
};

class SortTable {
 public:
  // Throws std::logic_error if the stream is malformed (a build fault).
  explicit SortTable(const struct SortStream& stream);

  std::size_t size() const { return offsets_.size(); }
  // Characters beyond the table are Ignored.
  CharCode lookup(std::uint32_t character) const {
    if (character >= offsets_.size()) return {};
    const std::uint8_t* record = pool_.data() + offsets_[character];
    const std::size_t sortLength = record[1];
    return {static_cast<CodeKind>(record[0] & 7), (record[0] & 8) != 0, {record + 2, sortLength},
            {record + 2 + sortLength, static_cast<std::size_t>(record[0] >> 4)}};
  }
  // The ASCII characters that key most text, packed for building keys
  // quickly: letters, digits and the like (sort bytes, no accent) and
  // punctuation, with at most two sort bytes. `fast` false: use lookup().
  struct Ascii {
    bool fast = false;
    CodeKind kind = CodeKind::Ignored;
    std::uint8_t length = 0;
    std::uint8_t sort[2] = {0, 0};
  };
  const Ascii& ascii(unsigned char character) const { return ascii_[character & 0x7F]; }
  // The most sort and accent bytes any one character has: the room a key
  // needs per character.
  std::size_t longestSort() const { return longestSort_; }
  std::size_t longestAccent() const { return longestAccent_; }

 private:
  // Per character: offset of its record in pool_ (kind, flags, lengths, bytes).
  std::vector<std::uint32_t> offsets_;
  std::vector<std::uint8_t> pool_;
  std::size_t longestSort_ = 0;
  std::size_t longestAccent_ = 0;
  std::array<Ascii, 128> ascii_{};
};

// The tables are built once, on first use, and never change afterwards.
const SortTable& general97Table();
const SortTable& generalLegacyTable();
const SortTable& general2010Table();

// The Windows-1252 byte Access 97 keys a character by; '?' where there is none.
std::uint8_t general97Byte(char32_t character);

}  // namespace fennick::jet::keys::detail
