// The empty databases our programs start a new .mdb file from: an Access
// 2000 (Jet 4) file of 16 pages and an Access 95/97 (Jet 3) file of 20
// pages, each holding the four system tables of the engine (MSysObjects,
// MSysACEs, MSysQueries, MSysRelationships) with their catalogue rows and
// indexes. Built from the documented page layouts in jet/docs/writing.md,
// always with the same fixed creation date, so every build gives the same
// bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace fennick::templates {

enum class EmptyDatabaseFormat { Jet3, Jet4 };

// The complete file image.
std::vector<std::uint8_t> makeEmptyDatabase(EmptyDatabaseFormat format);

// The file name of the template under resources/ ("mdb95", "mdb2000").
const char* templateFileName(EmptyDatabaseFormat format);

}  // namespace fennick::templates
