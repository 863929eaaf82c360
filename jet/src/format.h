// Layout facts of each file format, one descriptor per Jet version, so the
// layers above read offsets and sizes from here instead of branching on the
// version. Relies on nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fennick::jet {

struct Format {
  int version;                 // 3 or 4
  const char* name;
  std::uint32_t pageSize;

  // Page 0: the masked block and what lives in it.
  std::size_t maskedOffset;
  std::size_t maskedLength;
  std::size_t codePageOffset;
  std::size_t collationOffset;
  std::size_t collationVersionOffset;  // 0: not stored
  std::size_t creationDateOffset;      // 0: not stored
  std::size_t databaseKeyOffset;

  // Data and long-value pages.
  std::size_t dataOwnerOffset;     // owning table definition page, or "LVAL"
  std::size_t dataRowCountOffset;
  std::size_t dataRowTableOffset;  // 2-byte row offsets follow

  // Table definition pages.
  std::size_t tdefNextPageOffset;
  std::size_t tdefRowCountOffset;
  std::size_t tdefAutoNumberOffset;
  std::size_t tdefTableTypeOffset;
  std::size_t tdefMaxColumnsOffset;
  std::size_t tdefVarColumnsOffset;
  std::size_t tdefColumnCountOffset;
  std::size_t tdefIndexCountOffset;
  std::size_t tdefRealIndexCountOffset;
  std::size_t tdefUsageMapOffset;
  std::size_t tdefFreeMapOffset;
  std::size_t tdefBlockEnd;
  std::size_t realIndexEntrySize;  // per-index row counts after the block

  std::size_t columnEntrySize;
  std::size_t columnTypeOffset;
  std::size_t columnNumberOffset;
  std::size_t columnVarIndexOffset;
  std::size_t columnSortOrderOffset;
  std::size_t columnCodePageOffset;  // 0: not stored
  std::size_t columnPrecisionOffset;
  std::size_t columnScaleOffset;
  std::size_t columnFlagsOffset;
  std::size_t columnExtraFlagsOffset;  // 0: not stored
  std::size_t columnFixedOffsetOffset;
  std::size_t columnLengthOffset;

  std::size_t nameLengthSize;  // 1 (Jet 3) or 2 (Jet 4) bytes before a name
  bool unicodeNames;           // names in UCS-2 (else the code page)
  std::uint32_t textBytesPerChar;

  std::size_t realIndexSize;
  std::size_t realIndexColumnsOffset;  // ten (column, order) pairs
  std::size_t realIndexUsageMapOffset;
  std::size_t realIndexFirstPageOffset;
  std::size_t realIndexFlagsOffset;

  std::size_t logicalIndexSize;
  std::size_t logicalIndexNumberOffset;
  std::size_t logicalIndexRealOffset;
  std::size_t logicalIndexRelTypeOffset;
  std::size_t logicalIndexRelIndexOffset;
  std::size_t logicalIndexRelTableOffset;
  std::size_t logicalIndexCascadeUpdatesOffset;
  std::size_t logicalIndexCascadeDeletesOffset;
  std::size_t logicalIndexKindOffset;

  // Rows.
  std::size_t rowColumnCountSize;  // also the size of var_len and eod
  std::size_t rowVarOffsetSize;    // entries of the variable-column table
  bool rowJumpTable;               // Jet 3: one-byte offsets plus jump table

  // Long-value pointer stored in a row.
  std::size_t longValueHeaderSize;
  // Data bytes of one full piece of a long-value chain: the piece's row is a
  // 4-byte next pointer and these bytes, alone on its LVAL page.
  std::size_t longValueChunkSize;

  // Usage maps: bitmap bytes of an inline (type 0) map row, which is also
  // the size of a reference (type 1) row's page list; where the bitmap of a
  // usage-map page (type 0x05) starts.
  std::size_t usageMapBitmapBytes;
  std::size_t usageMapPageBitmapOffset;

  // Table definitions longer than a page go on in continuation pages whose
  // own header is this long.
  std::size_t tdefContinuationHeader;

  // Index pages (leaf 0x04 and intermediate 0x03): sibling links at this
  // level, the tail leaf (intermediate pages), the length of the prefix the
  // entries after the first leave out, a byte set on intermediate pages,
  // the entry-end bitmap and where the entries start.
  std::size_t indexPrevOffset;
  std::size_t indexNextOffset;
  std::size_t indexTailOffset;
  std::size_t indexPrefixOffset;
  std::size_t indexPrefixSize;
  std::size_t indexNodeFlagOffset;
  std::size_t indexBitmapOffset;
  std::size_t indexFirstEntryOffset;

  // Words Jet 4 puts before each real and logical index record of a table
  // definition (0: none), and the flag bit every Jet 4 real index carries.
  std::uint32_t realIndexLeadWord;
  std::uint32_t logicalIndexLeadWord;
  std::uint8_t realIndexBaseFlags;
};

extern const Format kJet3Format;
extern const Format kJet4Format;

// Page-type bytes.
enum PageType : std::uint8_t {
  kDatabasePage = 0x00,
  kDataPage = 0x01,
  kTableDefinitionPage = 0x02,
  kIndexNodePage = 0x03,
  kIndexLeafPage = 0x04,
  kUsageMapPage = 0x05,
};

}  // namespace fennick::jet
