// What a table looks like: its columns and indexes as the table definition
// stores them. Plain data, shared by the reader, the writer and the SQL layer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fennick::jet {

enum class ColumnType : std::uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,   // 16-bit
  Long = 0x04,      // 32-bit
  Currency = 0x05,  // 64-bit, four implied decimals
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0A,
  Ole = 0x0B,
  Memo = 0x0C,
  Guid = 0x0F,
  Numeric = 0x10,
  Unsupported = 0xFF,  // any other type code; see Column::typeCode
};

// The Access name of a type ("Long Integer", "Memo", ...); "Unsupported" for
// codes the engine does not read.
const char* columnTypeName(ColumnType type);

struct Column {
  std::string name;
  ColumnType type = ColumnType::Unsupported;
  std::uint8_t typeCode = 0;     // the stored type byte, also for unsupported types
  std::uint16_t number = 0;      // position in the row, counting deleted columns
  std::uint16_t varIndex = 0;    // slot in the row's variable-length offset table
  std::uint16_t fixedOffset = 0; // offset among the row's fixed-length data
  std::uint16_t length = 0;      // stored size in bytes (0 for Memo/OLE)
  std::uint16_t textLength = 0;  // Text: maximum length in characters
  std::uint8_t precision = 0;    // Numeric
  std::uint8_t scale = 0;        // Numeric
  std::uint16_t sortOrder = 0;   // Text/Memo collation id (0x409 = General)
  std::uint16_t codePage = 0;    // Jet 3 Text/Memo
  bool fixed = false;
  bool nullable = false;
  bool autoNumber = false;        // auto-increment Long
  bool autoGuid = false;          // GUID filled in by the engine
  bool hyperlink = false;
  bool compressedUnicode = false; // Jet 4 text may be stored in compressed form
};

struct IndexColumn {
  std::uint16_t columnNumber = 0;  // Column::number
  std::string columnName;
  bool ascending = true;
};

// An index as stored: the tree of entries that one or more logical indexes
// share.
struct RealIndex {
  std::uint32_t number = 0;
  std::vector<IndexColumn> columns;
  std::uint32_t usageMapPointer = 0;  // row pointer to the index's usage map
  std::uint32_t firstPage = 0;        // root page of the index tree
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
};

// An index as the user sees it (named; primary key, unique, foreign key...).
struct Index {
  enum class Kind : std::uint8_t { Normal = 0, PrimaryKey = 1, ForeignKey = 2 };
  std::string name;
  std::uint32_t number = 0;
  std::uint32_t realIndex = 0;  // position in TableDefinition::realIndexes
  Kind kind = Kind::Normal;
  // Foreign keys: the other table's definition page and index number.
  std::uint32_t relatedTablePage = 0;
  std::int32_t relatedIndex = -1;
  bool cascadeUpdates = false;
  bool cascadeDeletes = false;
};

// A Memo or OLE column's own page maps: the LVAL pages holding its values
// and those of them with free space (row pointers to usage-map rows).
struct ColumnUsageMaps {
  std::uint16_t columnNumber = 0;  // Column::number
  std::uint32_t usedMapPointer = 0;
  std::uint32_t freeMapPointer = 0;
};

struct TableDefinition {
  std::string name;
  std::uint32_t definitionPage = 0;
  std::uint32_t rowCount = 0;          // as recorded in the definition
  std::uint32_t nextAutoNumber = 0;    // the last number an autonumber column handed out
  bool systemTable = false;
  std::uint16_t maxColumns = 0;        // row width including deleted columns
  std::uint16_t variableColumns = 0;
  std::vector<Column> columns;         // in row order (by Column::number)
  std::vector<RealIndex> realIndexes;
  std::vector<Index> indexes;
  std::uint32_t usageMapPointer = 0;   // row pointer to the table's page map
  std::uint32_t freeSpaceMapPointer = 0;
  std::vector<ColumnUsageMaps> columnUsageMaps;  // listed after the index names

  const Column* findColumn(std::string_view name) const;  // ASCII case-insensitive
  const RealIndex& realIndexOf(const Index& index) const { return realIndexes.at(index.realIndex); }
};

}  // namespace fennick::jet
