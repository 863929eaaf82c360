// Reading Required and AllowZeroLength out of a table's property blob.
#include "column_properties.h"

#include <string_view>
#include <vector>

#include "core/utf.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

constexpr std::uint16_t kNamesChunk = 0x80;
constexpr std::uint16_t kColumnChunk = 0x01;

std::uint16_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
std::uint32_t u32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(u16(b, at)) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}

}  // namespace

std::map<std::string, ColumnRules> readColumnRules(const Bytes& blob, std::uint16_t codePage) {
  std::map<std::string, ColumnRules> rules;
  if (blob.size() < 4) return rules;
  const std::string_view magic(reinterpret_cast<const char*>(blob.data()), 4);
  const bool unicode = magic == std::string_view("MR2\0", 4);
  if (!unicode && magic != std::string_view("KKD\0", 4)) return rules;
  const auto text = [&](std::size_t at, std::size_t length) {
    const std::string_view bytes(reinterpret_cast<const char*>(blob.data() + at), length);
    return unicode ? utf16BytesToUtf8(bytes, false) : platform::fromCodePage(codePage, bytes);
  };

  std::vector<std::string> names;
  for (std::size_t chunk = 4; chunk + 6 <= blob.size();) {
    const std::uint32_t length = u32(blob, chunk);
    if (length < 6 || chunk + length > blob.size()) break;
    const std::uint16_t type = u16(blob, chunk + 4);
    const std::size_t end = chunk + length;
    if (type == kNamesChunk) {
      for (std::size_t at = chunk + 6; at + 2 <= end;) {
        const std::uint16_t n = u16(blob, at);
        if (at + 2 + n > end) break;
        names.push_back(text(at + 2, n));
        at += 2 + n;
      }
    } else if (type == kColumnChunk && chunk + 12 <= end) {
      const std::uint32_t nameBlock = u32(blob, chunk + 6);
      const std::uint16_t nameLength = u16(blob, chunk + 10);
      if (nameBlock >= 6 && 6 + std::size_t{nameLength} <= nameBlock && chunk + 6 + nameBlock <= end) {
        ColumnRules& column = rules[asciiLower(text(chunk + 12, nameLength))];
        for (std::size_t at = chunk + 6 + nameBlock; at + 8 <= end;) {
          const std::uint16_t entryLength = u16(blob, at), nameIndex = u16(blob, at + 4),
                              valueLength = u16(blob, at + 6);
          if (entryLength < 8 || at + entryLength > end || 8 + std::size_t{valueLength} > entryLength) break;
          if (nameIndex < names.size() && valueLength >= 1) {
            const bool on = blob[at + 8] != 0;
            if (equalsIgnoreAsciiCase(names[nameIndex], "Required")) column.required = on;
            if (equalsIgnoreAsciiCase(names[nameIndex], "AllowZeroLength")) column.allowZeroLength = on;
          }
          at += entryLength;
        }
      }
    }
    chunk = end;
  }
  return rules;
}

}  // namespace fennick::jet
