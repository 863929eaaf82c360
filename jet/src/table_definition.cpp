// Table definition parsing. Every count is checked against the bytes it
// claims before anything is allocated for it.
#include "table_definition.h"

#include <algorithm>
#include <unordered_set>

#include "bytes.h"

namespace fennick::jet {
namespace {

constexpr int kIndexColumnSlots = 10;
constexpr std::uint16_t kNoColumn = 0xFFFF;

enum ColumnFlag : std::uint8_t {
  kFixedLength = 0x01,
  kNullable = 0x02,
  kAutoLong = 0x04,
  kAutoGuid = 0x40,
  kHyperlink = 0x80,
};
enum IndexFlag : std::uint8_t { kUnique = 0x01, kIgnoreNulls = 0x02, kRequired = 0x08 };
constexpr std::uint8_t kCompressedUnicode = 0x01;
constexpr std::uint8_t kSystemTableType = 0x53;

ColumnType typeFromCode(std::uint8_t code) {
  switch (code) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x07:
    case 0x08: case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0F: case 0x10:
      return static_cast<ColumnType>(code);
    default:
      return ColumnType::Unsupported;
  }
}

class DefinitionParser {
 public:
  DefinitionParser(std::span<const std::uint8_t> bytes, const Format& format, const TextCodec& text,
                   const std::string& path, const std::string& table)
      : r_(bytes, path, "table definition"), f_(format), text_(text), table_(table) {}

  [[noreturn]] void damaged(const std::string& what) const {
    throwDamaged(r_.path(), "the definition of table \"" + table_ + "\" " + what);
  }

  // Checks that `count` entries of `size` bytes fit from `offset` on.
  void requireRoom(std::size_t offset, std::uint64_t count, std::size_t size, const char* what) const {
    if (offset > r_.size() || count * size > r_.size() - offset)
      damaged("lists " + std::to_string(count) + " " + what + ", more than it holds");
  }

  std::string name(std::size_t& pos) const {
    const std::size_t length = f_.nameLengthSize == 1 ? r_.u8(pos) : r_.u16(pos);
    pos += f_.nameLengthSize;
    auto stored = r_.bytes(pos, length);
    pos += length;
    return text_.decode(stored);
  }

  TableDefinition parse(std::uint32_t firstPage) {
    TableDefinition def;
    def.name = table_;
    def.definitionPage = firstPage;
    def.rowCount = r_.u32(f_.tdefRowCountOffset);
    def.nextAutoNumber = r_.u32(f_.tdefAutoNumberOffset);
    def.systemTable = r_.u8(f_.tdefTableTypeOffset) == kSystemTableType;
    def.maxColumns = r_.u16(f_.tdefMaxColumnsOffset);
    def.variableColumns = r_.u16(f_.tdefVarColumnsOffset);
    const std::uint16_t columnCount = r_.u16(f_.tdefColumnCountOffset);
    const std::uint32_t indexCount = r_.u32(f_.tdefIndexCountOffset);
    const std::uint32_t realIndexCount = r_.u32(f_.tdefRealIndexCountOffset);
    def.usageMapPointer = r_.u32(f_.tdefUsageMapOffset);
    def.freeSpaceMapPointer = r_.u32(f_.tdefFreeMapOffset);

    std::size_t pos = f_.tdefBlockEnd;
    requireRoom(pos, realIndexCount, f_.realIndexEntrySize, "indexes");
    pos += realIndexCount * f_.realIndexEntrySize;

    requireRoom(pos, columnCount, f_.columnEntrySize, "columns");
    def.columns.resize(columnCount);
    for (auto& c : def.columns) {
      c.typeCode = r_.u8(pos + f_.columnTypeOffset);
      c.type = typeFromCode(c.typeCode);
      c.number = r_.u16(pos + f_.columnNumberOffset);
      c.varIndex = r_.u16(pos + f_.columnVarIndexOffset);
      c.fixedOffset = r_.u16(pos + f_.columnFixedOffsetOffset);
      c.length = r_.u16(pos + f_.columnLengthOffset);
      const std::uint8_t flags = r_.u8(pos + f_.columnFlagsOffset);
      c.fixed = flags & kFixedLength;
      c.nullable = flags & kNullable;
      c.autoNumber = flags & kAutoLong;
      c.autoGuid = flags & kAutoGuid;
      c.hyperlink = flags & kHyperlink;
      if (f_.columnExtraFlagsOffset)
        c.compressedUnicode = r_.u8(pos + f_.columnExtraFlagsOffset) & kCompressedUnicode;
      if (c.type == ColumnType::Numeric) {
        c.precision = r_.u8(pos + f_.columnPrecisionOffset);
        c.scale = r_.u8(pos + f_.columnScaleOffset);
      }
      if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
        c.sortOrder = r_.u16(pos + f_.columnSortOrderOffset);
        if (f_.columnCodePageOffset) c.codePage = r_.u16(pos + f_.columnCodePageOffset);
      }
      if (c.type == ColumnType::Text) c.textLength = static_cast<std::uint16_t>(c.length / f_.textBytesPerChar);
      pos += f_.columnEntrySize;
    }
    for (auto& c : def.columns) c.name = name(pos);

    requireRoom(pos, realIndexCount, f_.realIndexSize, "indexes");
    def.realIndexes.resize(realIndexCount);
    for (std::uint32_t i = 0; i < realIndexCount; ++i) {
      RealIndex& ri = def.realIndexes[i];
      ri.number = i;
      for (int slot = 0; slot < kIndexColumnSlots; ++slot) {
        const std::size_t at = pos + f_.realIndexColumnsOffset + 3 * slot;
        const std::uint16_t number = r_.u16(at);
        if (number == kNoColumn) continue;
        IndexColumn ic;
        ic.columnNumber = number;
        ic.ascending = r_.u8(at + 2) == 0x01;
        auto col = std::find_if(def.columns.begin(), def.columns.end(),
                                [&](const Column& c) { return c.number == number; });
        if (col == def.columns.end())
          damaged("has an index on column number " + std::to_string(number) + ", which does not exist");
        ic.columnName = col->name;
        ri.columns.push_back(std::move(ic));
      }
      ri.usageMapPointer = r_.u32(pos + f_.realIndexUsageMapOffset);
      ri.firstPage = r_.u32(pos + f_.realIndexFirstPageOffset);
      const std::uint8_t flags = r_.u8(pos + f_.realIndexFlagsOffset);
      ri.unique = flags & kUnique;
      ri.ignoreNulls = flags & kIgnoreNulls;
      ri.required = flags & kRequired;
      pos += f_.realIndexSize;
    }

    requireRoom(pos, indexCount, f_.logicalIndexSize, "logical indexes");
    def.indexes.resize(indexCount);
    for (auto& ix : def.indexes) {
      ix.number = r_.u32(pos + f_.logicalIndexNumberOffset);
      ix.realIndex = r_.u32(pos + f_.logicalIndexRealOffset);
      if (ix.realIndex >= realIndexCount)
        damaged("has an index backed by index entry " + std::to_string(ix.realIndex) + " of " +
                std::to_string(realIndexCount));
      ix.relatedIndex = static_cast<std::int32_t>(r_.u32(pos + f_.logicalIndexRelIndexOffset));
      ix.relatedTablePage = r_.u32(pos + f_.logicalIndexRelTableOffset);
      ix.cascadeUpdates = r_.u8(pos + f_.logicalIndexCascadeUpdatesOffset);
      ix.cascadeDeletes = r_.u8(pos + f_.logicalIndexCascadeDeletesOffset);
      const std::uint8_t kind = r_.u8(pos + f_.logicalIndexKindOffset);
      ix.kind = kind == 1 ? Index::Kind::PrimaryKey : kind == 2 ? Index::Kind::ForeignKey : Index::Kind::Normal;
      pos += f_.logicalIndexSize;
    }
    for (auto& ix : def.indexes) ix.name = name(pos);

    // The Memo / OLE columns' own maps, ended by FFFF. A list cut short (the
    // page's zero padding instead of an entry) ends where the entries stop
    // making sense; reading rows does not need it.
    constexpr std::size_t kColumnMapsEntry = 10;
    while (pos + kColumnMapsEntry <= r_.size() && r_.u16(pos) != kNoColumn) {
      const ColumnUsageMaps maps{r_.u16(pos), r_.u32(pos + 2), r_.u32(pos + 6)};
      if (maps.usedMapPointer == 0 || maps.freeMapPointer == 0) break;
      def.columnUsageMaps.push_back(maps);
      pos += kColumnMapsEntry;
    }

    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const Column& a, const Column& b) { return a.number < b.number; });
    return def;
  }

 private:
  ByteReader r_;
  const Format& f_;
  const TextCodec& text_;
  const std::string& table_;
};

}  // namespace

std::vector<std::uint8_t> readDefinitionBytes(Pager& pager, std::uint32_t firstPage, const std::string& tableName) {
  std::vector<std::uint8_t> bytes;
  std::unordered_set<std::uint32_t> seen;
  std::uint32_t number = firstPage;
  while (true) {
    if (!seen.insert(number).second)
      throwDamaged(pager.path(), "the definition pages of table \"" + tableName + "\" form a loop at page " +
                                     std::to_string(number));
    PageRef page = pager.page(number);
    if (page->type() != kTableDefinitionPage)
      throwDamaged(pager.path(), "page " + std::to_string(number) + " should hold the definition of table \"" +
                                     tableName + "\" but has page type " + std::to_string(page->type()));
    auto b = page->bytes();
    if (bytes.empty()) bytes.assign(b.begin(), b.end());
    else bytes.insert(bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(pager.format().tdefContinuationHeader), b.end());
    number = loadU32(b.data() + pager.format().tdefNextPageOffset);
    if (number == 0) break;
  }
  return bytes;
}

TableDefinition parseTableDefinition(std::span<const std::uint8_t> bytes, const Format& format,
                                     const TextCodec& text, const std::string& path,
                                     const std::string& tableName, std::uint32_t firstPage) {
  return DefinitionParser(bytes, format, text, path, tableName).parse(firstPage);
}

TableDefinition readTableDefinition(Pager& pager, const TextCodec& text, std::uint32_t firstPage,
                                    const std::string& tableName) {
  const auto bytes = readDefinitionBytes(pager, firstPage, tableName);
  return parseTableDefinition(bytes, pager.format(), text, pager.path(), tableName, firstPage);
}

}  // namespace fennick::jet
