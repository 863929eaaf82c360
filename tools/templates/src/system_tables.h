// The four system tables of an empty database as plain descriptions (columns,
// indexes, where their usage maps, leaf pages and rows live) and the image of
// each one's table definition page. Relies on page_images.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "page_images.h"

namespace fennick::templates {

// Column type numbers as table definitions store them.
enum ColumnTypeCode : std::uint8_t {
  kBoolean = 0x01, kByte = 0x02, kInteger = 0x03, kLong = 0x04, kDateTime = 0x08,
  kBinary = 0x09, kText = 0x0A, kOle = 0x0B, kMemo = 0x0C,
};

struct SystemColumn {
  std::string name;
  std::uint8_t type;
  std::uint16_t number;
  std::uint16_t fixedOffset;  // fixed-length columns only
  std::uint8_t flags;         // 0x13 fixed, 0x12 variable, 0x32 SID binary
  bool isFixed() const;
  bool isLong() const { return type == kMemo || type == kOle; }
  std::uint16_t fixedLength() const;  // bytes in the fixed area (Boolean: 0)
};

struct SystemIndex {
  std::string name;
  std::vector<std::uint16_t> columns;  // column numbers, all ascending
  std::uint8_t flags;                  // 0x01 unique, 0x02 ignore nulls, 0x08 required
  std::uint8_t kind;                   // 1 primary key, 0 other
  std::uint32_t usageMap;              // row pointer of the map of its pages
  std::uint32_t leafPage;
};

struct LongColumnMaps {
  std::uint16_t column;
  std::uint32_t usedMap;
  std::uint32_t freeMap;
};

struct SystemTable {
  std::string name;
  std::uint32_t definitionPage;
  std::uint32_t dataPage;  // 0: the table has no rows and no data page
  std::uint32_t usedMap;
  std::uint32_t freeMap;
  std::vector<SystemColumn> columns;      // in column-number order
  std::vector<SystemIndex> indexes;       // in real-index order
  std::vector<LongColumnMaps> longMaps;   // one per memo/OLE column
};

// The system tables of an empty database of the format, with its page plan.
std::vector<SystemTable> systemTables(const jet::Format& format);

// The table definition page of `table` holding `rowCount` rows.
Page tableDefinitionPage(const jet::Format& format, const SystemTable& table, std::uint32_t rowCount);

}  // namespace fennick::templates
