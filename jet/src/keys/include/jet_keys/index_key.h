// Index keys exactly as Access stores them in Jet 3 and Jet 4 index pages.
//
// An index entry starts with one key part per indexed column, in index
// order; each part is what appendKeyPart() writes. Entries compare as plain
// byte strings, so a key built here lands where Access would look for it.
// The caller supplies the column types and values; this library knows
// nothing about pages, rows or files.
//
// Each part is a marker byte, 0x7F before a value and 0x00 for NULL, then:
//   Byte                1 byte, unsigned
//   Integer, Long       2 / 4 bytes big-endian, sign bit flipped
//   Currency            8-byte count of ten-thousandths, as Long
//   Single, Double      IEEE big-endian; sign bit flipped if >= 0, all bits
//   Date/Time           flipped if < 0; a date is its OLE date as a Double
//   Binary, GUID        8-byte pieces (the last zero-padded), each followed
//                       by 0x09 if more follow, else by its used length;
//                       a GUID is its 16 bytes in row order
//   Decimal             0x80 and the unscaled magnitude in 16 bytes
//                       big-endian; all 17 bytes inverted if negative
//   Text, Memo          see text_key.cpp: sort bytes, 0x01, accents and
//                       punctuation if any, 0x00 (Jet 3: no 0x01 unless an
//                       accent is present)
// Yes/No has no marker: 0x00 for Yes, 0xFF for No. A descending column
// inverts every byte of its part, marker included (NULL becomes 0xFF).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/value.h"

namespace fennick::jet {

enum class JetFormat { Jet3, Jet4 };

// Column types as Jet numbers them in table definitions.
enum class ColumnType : std::uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,
  Long = 0x04,
  Currency = 0x05,
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0A,
  OleObject = 0x0B,
  Memo = 0x0C,
  Guid = 0x0F,
  Numeric = 0x10,
};

// The text sort orders whose keys this library writes.
enum class TextSortOrder {
  General97,      // "General" of Access 97, Jet 3 files
  GeneralLegacy,  // "General" as Access 2000-2007 write it (sort order 1033 version 0)
  General2010,    // "General" of Access 2010 and later (1033 version 1)
};

// Maps the sort order a file or text column declares (its locale id, 1033 or
// 0x409 being General, and the sort version Jet 4 keeps beside it) to one we
// can encode. Throws std::runtime_error naming the order otherwise.
TextSortOrder textSortOrderFor(JetFormat format, std::uint16_t sortId, std::uint8_t sortVersion = 0);

struct KeyColumn {
  ColumnType type = ColumnType::Long;
  bool ascending = true;
  int scale = 0;     // Numeric: digits after the point
  std::string_view name;  // for messages; must outlive the calls it is passed to
};

// Writes the key part of one column: the marker byte (NULL or not, in the
// column's order) followed by the value's encoding, all inverted for a
// descending column. Throws std::runtime_error naming the column when the
// value cannot be held by the column type or the type cannot be indexed.
void appendKeyPart(Bytes& key, JetFormat format, TextSortOrder order, const KeyColumn& column,
                   const Value& value);

// The key parts of all columns of an index, in order. Throws
// std::invalid_argument if the counts differ.
Bytes encodeIndexKey(JetFormat format, TextSortOrder order, std::span<const KeyColumn> columns,
                     std::span<const Value> values);

}  // namespace fennick::jet
