// The generated text sort tables (collation_tables.cpp) as the key encoder
// sees them: one compressed byte stream per sort order, plus the
// Windows-1252 bytes that Access 97's order keys characters beyond Latin-1
// by. The stream format is documented in tools/collation/gen_jet_collation.py;
// text_sort.cpp expands it.
#pragma once

#include <cstdint>

namespace fennick::jet::keys::detail {

struct SortStream {
  unsigned characters;  // entries the stream describes, from U+0000 upwards
  unsigned length;      // bytes in data
  const char* data;
};

struct CodePagePair {
  std::uint16_t unicode;
  std::uint8_t byte;
};

extern const SortStream kGeneral97;
extern const SortStream kGeneralLegacy;
extern const SortStream kGeneral2010;
extern const CodePagePair kGeneral97Extra[];
extern const unsigned kGeneral97ExtraCount;

}  // namespace fennick::jet::keys::detail
