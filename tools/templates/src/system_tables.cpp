// The engine's four system tables and their table definition pages, as
// described in jet/docs/writing.md sections 3.0 (Jet 4) and 4.1 (Jet 3).
// Relies on page_images.h and the reader's format descriptors for the
// offsets the two versions share with the reader.
#include "system_tables.h"

#include <algorithm>
#include <stdexcept>

namespace fennick::templates {
namespace {

constexpr std::uint32_t kJet4Magic = 0x659;      // in every Jet 4 definition and column record
constexpr std::uint32_t kJet4IndexMagic = 0x783;  // in every Jet 4 real index record
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint16_t kCodePage1252 = 0x04E4;
constexpr std::uint8_t kSystemTableType = 0x53;

bool nameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) < lower(y);
  });
}

std::uint16_t storedLength(const jet::Format& format, const SystemColumn& column) {
  if (column.type == kText || column.type == kBinary) return format.version == 4 ? 510 : 255;
  if (column.isLong()) return 0;
  return column.type == kBoolean ? 1 : column.fixedLength();
}

std::uint16_t variableIndex(const SystemTable& table, const SystemColumn& column) {
  // For a variable column its place among them; a fixed column carries the
  // number of variable columns before it, as Jet writes.
  std::uint16_t before = 0;
  for (const auto& other : table.columns)
    if (other.number < column.number && !other.isFixed()) ++before;
  return before;
}

void appendName(const jet::Format& format, std::vector<std::uint8_t>& out, const std::string& name) {
  // System names are ASCII: one byte each in Jet 3, UTF-16LE in Jet 4.
  if (format.version == 4) {
    appendU16(out, static_cast<std::uint16_t>(2 * name.size()));
    for (char c : name) appendU16(out, static_cast<std::uint8_t>(c));
  } else {
    out.push_back(static_cast<std::uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
  }
}

std::vector<std::uint8_t> columnRecord(const jet::Format& format, const SystemTable& table,
                                       const SystemColumn& column) {
  std::vector<std::uint8_t> record(format.columnEntrySize, 0);
  const std::uint16_t fixedOffset = column.isFixed() ? column.fixedOffset : 0;
  record[0] = column.type;
  if (format.version == 4) {
    putU32(record, 1, kJet4Magic);
    putU16(record, 5, column.number);
    putU16(record, 7, variableIndex(table, column));
    putU16(record, 11, kGeneralSortOrder);
    record[15] = column.flags;
    putU16(record, 21, fixedOffset);
    putU16(record, 23, storedLength(format, column));
  } else {
    putU16(record, 1, column.number);
    putU16(record, 3, variableIndex(table, column));
    putU16(record, 7, 1);
    putU16(record, 9, kGeneralSortOrder);
    putU16(record, 11, kCodePage1252);
    record[13] = column.flags;
    putU16(record, 14, fixedOffset);
    putU16(record, 16, storedLength(format, column));
  }
  return record;
}

std::vector<std::uint8_t> realIndexRecord(const jet::Format& format, const SystemIndex& index) {
  std::vector<std::uint8_t> record(format.realIndexSize, 0);
  const std::size_t slots = format.version == 4 ? 4 : 0;
  if (format.version == 4) putU32(record, 0, kJet4IndexMagic);
  for (std::size_t i = 0; i < 10; ++i) {
    const bool used = i < index.columns.size();
    putU16(record, slots + 3 * i, used ? index.columns[i] : 0xFFFF);
    record[slots + 3 * i + 2] = used ? 0x01 : 0x00;  // ascending
  }
  putU32(record, slots + 30, index.usageMap);
  putU32(record, slots + 34, index.leafPage);
  // Jet 4 keeps the flags four bytes further on, always with 0x80 set.
  if (format.version == 4) record[46] = static_cast<std::uint8_t>(0x80 | index.flags);
  else record[38] = index.flags;
  return record;
}

std::vector<std::uint8_t> logicalIndexRecord(const jet::Format& format, std::uint32_t number,
                                             const SystemIndex& index) {
  std::vector<std::uint8_t> record;
  if (format.version == 4) appendU32(record, kJet4Magic);
  appendU32(record, number);
  appendU32(record, number);  // each logical index has its own real index
  record.push_back(0);
  appendU32(record, 0xFFFFFFFF);  // no foreign key
  appendU32(record, 0);
  record.push_back(0x04);
  record.push_back(0x04);
  record.push_back(index.kind);
  if (format.version == 4) appendU32(record, 0);
  return record;
}

SystemColumn fixed(const char* name, std::uint8_t type, std::uint16_t number, std::uint16_t offset) {
  return {name, type, number, offset, 0x13};
}
SystemColumn variable(const char* name, std::uint8_t type, std::uint16_t number, std::uint8_t flags = 0x12) {
  return {name, type, number, 0, flags};
}

}  // namespace

bool SystemColumn::isFixed() const { return (flags & 0x01) != 0; }

std::uint16_t SystemColumn::fixedLength() const {
  switch (type) {
    case kByte: return 1;
    case kInteger: return 2;
    case kLong: return 4;
    case kDateTime: return 8;
    default: return 0;  // Boolean lives in the null mask
  }
}

std::vector<SystemTable> systemTables(const jet::Format& format) {
  const bool jet4 = format.version == 4;
  // Map rows: Jet 4 keeps all 31 on page 6; Jet 3's pages hold fewer, so
  // MSysObjects's maps spill onto pages 7, 8 and 10 and the other tables'
  // maps are on page 12 (the layout every Access 97 file has).
  const auto map = [&](std::uint32_t jet4Row, std::uint32_t jet3Pointer) {
    return jet4 ? rowPointer(6, jet4Row) : jet3Pointer;
  };
  std::vector<SystemTable> tables;

  SystemTable objects{"MSysObjects", 2, jet4 ? 14u : 18u, map(0, 0x600), map(1, 0x601), {}, {}, {}};
  objects.columns = {
      fixed("Id", kLong, 0, 0),           fixed("ParentId", kLong, 1, 4),
      variable("Name", kText, 2),         fixed("Type", kInteger, 3, 8),
      fixed("DateCreate", kDateTime, 4, 10), fixed("DateUpdate", kDateTime, 5, 18),
      variable("Owner", kBinary, 6, 0x32), fixed("Flags", kLong, 7, 26),
      variable("Database", kMemo, 8),     variable("Connect", kMemo, 9),
      variable("ForeignName", kText, 10), variable("RmtInfoShort", kBinary, 11),
      variable("RmtInfoLong", kOle, 12),  variable("Lv", kOle, 13),
      variable("LvProp", kOle, 14),       variable("LvModule", kOle, 15),
      variable("LvExtra", kOle, 16),
  };
  for (std::uint16_t column = 8, row = 2; column <= 16; ++column) {
    if (column == 10 || column == 11) continue;
    const std::uint32_t used = map(row, 0x600 + row);
    const std::uint32_t free = (column == 16 && !jet4) ? 0x700 : map(row + 1, 0x600 + row + 1);
    objects.longMaps.push_back({column, used, free});
    row += 2;
  }
  objects.indexes = {
      {"ParentIdName", {1, 2}, 0x01, 0, map(16, 0x800), jet4 ? 7u : 9u},
      {"Id", {0}, 0x01, 1, map(17, 0xA00), jet4 ? 8u : 11u},
  };
  tables.push_back(objects);

  SystemTable aces{"MSysACEs", 3, jet4 ? 15u : 19u, map(18, 0xC00), map(19, 0xC01), {}, {}, {}};
  aces.columns = {fixed("ObjectId", kLong, 0, 0), variable("SID", kBinary, 1, 0x32),
                  fixed("ACM", kLong, 2, 4), fixed("FInheritable", kBoolean, 3, 0)};
  aces.indexes = {{"ObjectId", {0}, 0x08, 0, map(20, 0xC02), jet4 ? 9u : 13u}};
  tables.push_back(aces);

  SystemTable queries{"MSysQueries", 4, 0, map(21, 0xC03), map(22, 0xC04), {}, {}, {}};
  queries.columns = {fixed("ObjectId", kLong, 0, 0),  fixed("Attribute", kByte, 1, 4),
                     variable("Order", kBinary, 2),    variable("Name1", kText, 3),
                     variable("Name2", kText, 4),      variable("Expression", kMemo, 5),
                     fixed("Flag", kInteger, 6, 5)};
  if (jet4) queries.columns.push_back(fixed("LvExtra", kLong, 7, 7));
  queries.longMaps = {{5, map(23, 0xC05), map(24, 0xC06)}};
  queries.indexes = {{"ObjectIdAttribute", {0, 1, 2}, 0x01, 1, map(25, 0xC07), jet4 ? 10u : 14u}};
  tables.push_back(queries);

  SystemTable relationships{"MSysRelationships", 5, 0, map(26, 0xC08), map(27, 0xC09), {}, {}, {}};
  relationships.columns = {
      variable("szRelationship", kText, 0), fixed("grbit", kLong, 1, 0),
      fixed("ccolumn", kLong, 2, 4),        fixed("icolumn", kLong, 3, 8),
      variable("szObject", kText, 4),       variable("szColumn", kText, 5),
      variable("szReferencedObject", kText, 6), variable("szReferencedColumn", kText, 7)};
  relationships.indexes = {
      {"szRelationship", {0}, 0x02, 0, map(28, 0xC0A), jet4 ? 11u : 15u},
      {"szObject", {4}, 0x02, 0, map(29, 0xC0B), jet4 ? 12u : 16u},
      {"szReferencedObject", {6}, 0x02, 0, map(30, 0xC0C), jet4 ? 13u : 17u},
  };
  tables.push_back(relationships);
  return tables;
}

Page tableDefinitionPage(const jet::Format& format, const SystemTable& table, std::uint32_t rowCount) {
  const bool jet4 = format.version == 4;
  std::vector<std::uint8_t> def(format.tdefBlockEnd, 0);
  def[0] = jet::kTableDefinitionPage;
  def[1] = 0x01;
  if (!jet4) { def[2] = 'V'; def[3] = 'C'; }
  if (jet4) {
    putU32(def, 0x0C, kJet4Magic);
    def[0x18] = 0x01;
  }
  std::uint16_t variableColumns = 0;
  for (const auto& c : table.columns) variableColumns += c.isFixed() ? 0 : 1;
  putU32(def, format.tdefRowCountOffset, rowCount);
  def[format.tdefTableTypeOffset] = kSystemTableType;
  putU16(def, format.tdefMaxColumnsOffset, static_cast<std::uint16_t>(table.columns.size()));
  putU16(def, format.tdefVarColumnsOffset, variableColumns);
  putU16(def, format.tdefColumnCountOffset, static_cast<std::uint16_t>(table.columns.size()));
  putU32(def, format.tdefIndexCountOffset, static_cast<std::uint32_t>(table.indexes.size()));
  putU32(def, format.tdefRealIndexCountOffset, static_cast<std::uint32_t>(table.indexes.size()));
  putU32(def, format.tdefUsageMapOffset, table.usedMap);
  putU32(def, format.tdefFreeMapOffset, table.freeMap);

  for (std::size_t i = 0; i < table.indexes.size(); ++i) {
    const std::size_t at = def.size();
    def.resize(at + format.realIndexEntrySize, 0);
    putU32(def, at + 4, rowCount);
  }
  // Jet 4 stores the engine's columns sorted by name, Jet 3 by number.
  std::vector<const SystemColumn*> columns;
  for (const auto& c : table.columns) columns.push_back(&c);
  if (jet4) std::stable_sort(columns.begin(), columns.end(), [](auto* a, auto* b) { return nameLess(a->name, b->name); });
  for (const auto* c : columns) {
    const auto record = columnRecord(format, table, *c);
    def.insert(def.end(), record.begin(), record.end());
  }
  for (const auto* c : columns) appendName(format, def, c->name);
  for (const auto& index : table.indexes) {
    const auto record = realIndexRecord(format, index);
    def.insert(def.end(), record.begin(), record.end());
  }
  // Logical indexes and their names go in name order; each keeps its number.
  std::vector<std::uint32_t> logical;
  for (std::uint32_t i = 0; i < table.indexes.size(); ++i) logical.push_back(i);
  std::stable_sort(logical.begin(), logical.end(), [&](auto a, auto b) {
    return nameLess(table.indexes[a].name, table.indexes[b].name);
  });
  for (auto i : logical) {
    const auto record = logicalIndexRecord(format, i, table.indexes[i]);
    def.insert(def.end(), record.begin(), record.end());
  }
  for (auto i : logical) appendName(format, def, table.indexes[i].name);
  // The memo/OLE columns' maps, in the order of the columns' names.
  std::vector<LongColumnMaps> longMaps = table.longMaps;
  const auto nameOf = [&](std::uint16_t number) -> const std::string& {
    for (const auto& c : table.columns)
      if (c.number == number) return c.name;
    throw std::logic_error("a long-value map names no column");
  };
  std::stable_sort(longMaps.begin(), longMaps.end(), [&](const auto& a, const auto& b) {
    return nameLess(nameOf(a.column), nameOf(b.column));
  });
  for (const auto& m : longMaps) {
    appendU16(def, m.column);
    appendU32(def, m.usedMap);
    appendU32(def, m.freeMap);
  }
  appendU16(def, 0xFFFF);

  if (def.size() > format.pageSize) throw std::length_error("the definition of " + table.name + " does not fit one page");
  putU32(def, 0x08, static_cast<std::uint32_t>(def.size()));
  if (jet4) putU16(def, 2, static_cast<std::uint16_t>(format.pageSize - def.size() - 8));
  Page page(format.pageSize, 0);
  putBytes(page, 0, def);
  return page;
}

}  // namespace fennick::templates
