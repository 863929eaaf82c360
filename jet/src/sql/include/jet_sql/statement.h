// Statement trees: what a Jet SQL statement asks for, after parsing and
// checking, ready for the engine to execute. Plain values; names are UTF-8
// without their brackets. Nothing here touches storage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/value.h"

namespace fennick::jet::sql {

// Jet's column types, numbered as Jet stores them in its column descriptors.
enum class ColumnType : std::uint8_t {
  Boolean = 1,
  Byte = 2,
  Integer = 3,  // 16-bit
  Long = 4,     // 32-bit; also the type of COUNTER columns
  Currency = 5,
  Single = 6,
  Double = 7,
  DateTime = 8,
  Binary = 9,
  Text = 10,
  OleObject = 11,
  Memo = 12,
  Guid = 15,
  Decimal = 16,  // Jet 4 only
};

// "Text", "Long", ... as Access names the types.
const char* columnTypeName(ColumnType type);

// A COUNTER column: a Long that Jet numbers itself.
struct AutoIncrement {
  std::int32_t seed = 1;
  std::int32_t increment = 1;
  friend bool operator==(const AutoIncrement&, const AutoIncrement&) = default;
};

struct ColumnDef {
  std::string name;
  ColumnType type = ColumnType::Text;
  // Text: characters (1-255); Binary: bytes (1-255 in Jet 3, 1-510 in Jet 4,
  // the largest when the statement gave none); 0 for other types. TEXT
  // without a size is Memo, as the Jet 4 OLE DB provider reads it.
  std::uint16_t size = 0;
  bool fixedLength = false;  // CHAR(n): Jet pads values to the full size
  std::uint8_t precision = 0;  // Decimal only
  std::uint8_t scale = 0;      // Decimal only
  std::optional<AutoIncrement> autoIncrement;
  bool notNull = false;
  bool compressed = false;  // Jet 4 WITH COMPRESSION on Text and Memo
  friend bool operator==(const ColumnDef&, const ColumnDef&) = default;
};

enum class KeyKind { PrimaryKey, Unique };

// A PRIMARY KEY or UNIQUE constraint, written on a column or on the table.
// Column constraints arrive here too, with their one column.
struct KeyConstraint {
  std::string name;  // empty when the statement gave none
  KeyKind kind = KeyKind::PrimaryKey;
  std::vector<std::string> columns;
  friend bool operator==(const KeyConstraint&, const KeyConstraint&) = default;
};

struct CreateTable {
  std::string table;
  std::vector<ColumnDef> columns;
  std::vector<KeyConstraint> keys;  // at most one PrimaryKey
  friend bool operator==(const CreateTable&, const CreateTable&) = default;
};

struct DropTable {
  std::string table;
  friend bool operator==(const DropTable&, const DropTable&) = default;
};

struct IndexColumn {
  std::string name;
  bool descending = false;
  friend bool operator==(const IndexColumn&, const IndexColumn&) = default;
};

struct CreateIndex {
  std::string index;
  std::string table;
  std::vector<IndexColumn> columns;
  bool unique = false;        // CREATE UNIQUE INDEX (also implied by primary)
  bool primary = false;       // WITH PRIMARY
  bool disallowNull = false;  // WITH DISALLOW NULL
  bool ignoreNull = false;    // WITH IGNORE NULL: rows with Null keys stay out
  friend bool operator==(const CreateIndex&, const CreateIndex&) = default;
};

struct DropIndex {
  std::string index;
  std::string table;
  friend bool operator==(const DropIndex&, const DropIndex&) = default;
};

struct SelectItem {
  enum class Kind { AllColumns, Column, Constant };
  Kind kind = Kind::AllColumns;
  std::string column;  // Kind::Column
  Value constant;      // Kind::Constant: Null, Integer, Decimal or Text
  std::string alias;   // AS name; empty when none
  friend bool operator==(const SelectItem&, const SelectItem&) = default;
};

// SELECT items FROM table [WHERE 1=0 | 1=1]: the engine answers with the
// columns' descriptions and, unless emptyRowset, the rows.
struct Select {
  std::string table;
  std::vector<SelectItem> items;
  bool emptyRowset = false;  // WHERE 1=0
  friend bool operator==(const Select&, const Select&) = default;
};

using Statement = std::variant<CreateTable, DropTable, CreateIndex, DropIndex, Select>;

}  // namespace fennick::jet::sql
