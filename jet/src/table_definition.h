// Table definitions (TDEF pages): assembles a definition spread over a chain
// of pages and parses its columns, real and logical indexes. Relies on
// pager.h, text.h and the public schema types.
#pragma once

#include <vector>

#include "jet/schema.h"
#include "pager.h"
#include "text.h"

namespace fennick::jet {

// The definition bytes: the first page whole, then each continuation page
// after its 8-byte header. Throws the damaged-file error on a broken or
// looping chain.
std::vector<std::uint8_t> readDefinitionBytes(Pager& pager, std::uint32_t firstPage, const std::string& tableName);

// Parses an assembled definition. `tableName` is for messages and the result.
TableDefinition parseTableDefinition(std::span<const std::uint8_t> bytes, const Format& format,
                                     const TextCodec& text, const std::string& path,
                                     const std::string& tableName, std::uint32_t firstPage);

TableDefinition readTableDefinition(Pager& pager, const TextCodec& text, std::uint32_t firstPage,
                                    const std::string& tableName);

}  // namespace fennick::jet
