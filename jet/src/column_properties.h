// The column rules a table's stored properties hold (MSysObjects.LvProp of
// the table's row): Required and AllowZeroLength as Access sets them in a
// table's design. The blob starts with "MR2\0" (Jet 4, names in UCS-2) or
// "KKD\0" (Jet 3, names in the file's code page), then chunks of
// u32 length (the chunk's own six header bytes included) and u16 type:
//   0x80  the property names, each a u16 byte length and the name;
//   0x00  the table's own properties; 0x01 one column's;
// a property chunk holds u32 n (n bytes: this u32, a u16 byte length and
// the object's name), then entries of u16 entry length, u8 DDL flag,
// u8 value type, u16 index into the names, u16 value length, the value.
// Relies on core/utf.h and platform/codepage.h.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "core/value.h"

namespace fennick::jet {

struct ColumnRules {
  bool required = false;
  bool allowZeroLength = true;  // what a column without the property allows
};

// By column name, ASCII letters in lower case. A blob this engine cannot
// read gives no rules (the defaults apply) rather than an error: the
// properties are Access's design data, not the rows.
std::map<std::string, ColumnRules> readColumnRules(const Bytes& blob, std::uint16_t codePage);

}  // namespace fennick::jet
