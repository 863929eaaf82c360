// Index creation and removal. Real index records: the lead word (Jet 4),
// ten (column number, order) slots (order 0x01 ascending, 0x00 descending;
// unused slots FF FF 00), usage map, first page, flags (base bit, 0x01
// unique, 0x02 ignore nulls, 0x08 required). Logical records: the lead word
// (Jet 4), number, real index, no relation (0, -1, 0), 04 04, kind.
#include "index_writer.h"

#include <algorithm>

#include "bytes.h"
#include "core/utf.h"
#include "index_btree.h"
#include "index_maintenance.h"
#include "jet/error.h"
#include "page_allocator.h"
#include "platform/codepage.h"
#include "table_definition.h"
#include "table_definition_writer.h"
#include "table_scan.h"
#include "usage_map_writer.h"

namespace fennick::jet {
namespace {

constexpr std::size_t kIndexColumnSlots = 10;
constexpr std::size_t kMaxNameLength = 64;
enum : std::uint8_t { kUnique = 0x01, kIgnoreNulls = 0x02, kRequired = 0x08 };

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::size_t at, std::uint32_t v, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where each part of a definition starts.
struct Sections {
  std::size_t counts, columns, columnNames, realIndexes, logicalIndexes, logicalNames, rest, end;
};

Sections sectionsOf(const Format& f, const Bytes& b, const std::string& path) {
  ByteReader r(b, path, "table definition");
  const std::size_t realCount = r.u32(f.tdefRealIndexCountOffset), logicalCount = r.u32(f.tdefIndexCountOffset);
  const std::size_t columnCount = r.u16(f.tdefColumnCountOffset);
  Sections s{};
  s.counts = f.tdefBlockEnd;
  s.columns = s.counts + realCount * f.realIndexEntrySize;
  s.columnNames = s.columns + columnCount * f.columnEntrySize;
  const auto skipNames = [&](std::size_t pos, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) pos += f.nameLengthSize + (f.nameLengthSize == 1 ? r.u8(pos) : r.u16(pos));
    return pos;
  };
  s.realIndexes = skipNames(s.columnNames, columnCount);
  s.logicalIndexes = s.realIndexes + realCount * f.realIndexSize;
  s.logicalNames = s.logicalIndexes + logicalCount * f.logicalIndexSize;
  s.rest = skipNames(s.logicalNames, logicalCount);
  s.end = b.size();  // trimmed to the stored length
  if (s.rest > s.end) throwDamaged(path, "a table definition is shorter than its indexes");
  return s;
}


Bytes realIndexRecord(const Format& f, const RealIndex& ri) {
  Bytes b(f.realIndexSize, 0);
  if (f.realIndexLeadWord) put(b, 0, f.realIndexLeadWord, 4);
  for (std::size_t slot = 0; slot < kIndexColumnSlots; ++slot) {
    const std::size_t at = f.realIndexColumnsOffset + 3 * slot;
    if (slot < ri.columns.size()) {
      put(b, at, ri.columns[slot].columnNumber, 2);
      b[at + 2] = ri.columns[slot].ascending ? 0x01 : 0x00;
    } else {
      put(b, at, 0xFFFF, 2);
    }
  }
  put(b, f.realIndexUsageMapOffset, ri.usageMapPointer, 4);
  put(b, f.realIndexFirstPageOffset, ri.firstPage, 4);
  b[f.realIndexFlagsOffset] = static_cast<std::uint8_t>(f.realIndexBaseFlags | (ri.unique ? kUnique : 0) |
                                                        (ri.ignoreNulls ? kIgnoreNulls : 0) | (ri.required ? kRequired : 0));
  return b;
}

Bytes logicalIndexRecord(const Format& f, std::uint32_t number, std::uint32_t real, bool primary) {
  Bytes b(f.logicalIndexSize, 0);
  if (f.logicalIndexLeadWord) put(b, 0, f.logicalIndexLeadWord, 4);
  put(b, f.logicalIndexNumberOffset, number, 4);
  put(b, f.logicalIndexRealOffset, real, 4);
  put(b, f.logicalIndexRelIndexOffset, 0xFFFFFFFF, 4);
  b[f.logicalIndexCascadeUpdatesOffset] = 0x04;
  b[f.logicalIndexCascadeDeletesOffset] = 0x04;
  b[f.logicalIndexKindOffset] = primary ? 1 : 0;
  return b;
}

std::vector<std::uint32_t> definitionChain(Pager& pager, std::uint32_t first) {
  std::vector<std::uint32_t> pages;
  for (std::uint32_t n = first; n != 0 && pages.size() <= pager.pageCount();) {
    pages.push_back(n);
    n = loadU32(pager.page(n)->bytes().data() + pager.format().tdefNextPageOffset);
  }
  return pages;
}

// Stores the changed definition on its pages, adding or releasing pages.
void storeDefinition(Pager& pager, std::uint32_t first, const Bytes& bytes) {
  const Format& f = pager.format();
  std::vector<std::uint32_t> pages = definitionChain(pager, first);
  const std::size_t needed = definitionPageCount(f, bytes.size());
  PageAllocator allocator(pager);
  while (pages.size() < needed) pages.push_back(allocator.allocate());
  while (pages.size() > needed) {
    allocator.release(pages.back());
    pages.pop_back();
  }
  const auto images = definitionPages(f, bytes, pages);
  for (std::size_t i = 0; i < images.size(); ++i) {
    auto page = pager.writablePage(pages[i]);
    std::copy(images[i].begin(), images[i].end(), page.begin());
  }
}

Bytes definitionBytes(Pager& pager, const TableDefinition& def) {
  Bytes b = readDefinitionBytes(pager, def.definitionPage, def.name);
  const std::size_t length = loadU32(b.data() + 8);
  if (length < pager.format().tdefBlockEnd || length > b.size())
    throwDamaged(pager.path(), "the definition of table \"" + def.name + "\" has a wrong length");
  b.resize(length);
  return b;
}

void splice(Bytes& b, std::size_t at, const Bytes& insert) {
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
}
void cut(Bytes& b, std::size_t at, std::size_t length) {
  b.erase(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + length));
}

const TableEntry& tableEntry(DatabaseState& db, std::string_view table) {
  for (const auto& t : db.tables)
    if (equalsIgnoreAsciiCase(t.name, table)) return t;
  throw Error("The database \"" + db.pager.path() + "\" has no table \"" + std::string(table) + "\".");
}

}  // namespace

void createIndex(const std::shared_ptr<DatabaseState>& db, std::string_view tableName, const NewIndex& spec) {
  Pager& pager = db->pager;
  const Format& f = pager.format();
  const TableEntry& entry = tableEntry(*db, tableName);
  TableDefinition def = readTableDefinition(pager, db->text, entry.definitionPage, entry.name);
  const std::string what = "index \"" + spec.name + "\" of table \"" + def.name + "\"";

  // The request, checked.
  const std::size_t nameLength = utf16Length(spec.name);
  if (nameLength == 0 || nameLength > kMaxNameLength)
    throw Error("The name of an index of table \"" + def.name + "\" must have 1 to 64 characters.");
  for (const Index& ix : def.indexes) {
    if (equalsIgnoreAsciiCase(ix.name, spec.name))
      throw Error("The table \"" + def.name + "\" already has an index \"" + ix.name + "\".");
    if (spec.primary && ix.kind == Index::Kind::PrimaryKey)
      throw Error("The table \"" + def.name + "\" already has a primary key, \"" + ix.name + "\".");
  }
  if (spec.columns.empty() || spec.columns.size() > kIndexColumnSlots)
    throw Error("The " + what + " must have 1 to 10 columns.");
  RealIndex wanted;
  wanted.unique = spec.unique || spec.primary;
  wanted.required = spec.required || spec.primary;
  wanted.ignoreNulls = spec.ignoreNulls;
  for (const NewIndexColumn& c : spec.columns) {
    const Column* column = def.findColumn(c.name);
    if (!column) throw Error("The table \"" + def.name + "\" has no column \"" + c.name + "\" for the " + what + ".");
    if (column->type == ColumnType::Memo || column->type == ColumnType::Ole || column->type == ColumnType::Unsupported)
      throw Error("The column \"" + column->name + "\" of table \"" + def.name + "\" has type " +
                  columnTypeName(column->type) + ", which Jet does not index.");
    for (const IndexColumn& seen : wanted.columns)
      if (seen.columnNumber == column->number)
        throw Error("The " + what + " names the column \"" + column->name + "\" twice.");
    wanted.columns.push_back({column->number, column->name, c.ascending});
  }

  // A stored index of the same shape is shared.
  std::optional<std::size_t> shared;
  for (std::size_t i = 0; i < def.realIndexes.size() && !shared; ++i) {
    const RealIndex& ri = def.realIndexes[i];
    bool same = ri.columns.size() == wanted.columns.size() && ri.unique == wanted.unique && ri.ignoreNulls == wanted.ignoreNulls;
    for (std::size_t c = 0; same && c < ri.columns.size(); ++c)
      same = ri.columns[c].columnNumber == wanted.columns[c].columnNumber && ri.columns[c].ascending == wanted.columns[c].ascending;
    if (same) shared = i;
  }

  // Every row's key, checked before anything changes.
  TableDefinition probe = def;
  probe.realIndexes.push_back(wanted);
  probe.indexes.push_back(Index{spec.name, 0, static_cast<std::uint32_t>(probe.realIndexes.size() - 1)});
  const MaintainedIndex maintained = maintainedIndexes(probe).back();
  std::vector<Bytes> entries, keys;
  {
    TableScan scan(db, def);
    Bytes key;
    while (scan.next()) {
      bool anyNull = false, allNull = true;
      for (const KeyPart& p : maintained.parts) {
        const bool isNull = scan.values()[p.valueIndex].isNull();
        anyNull = anyNull || isNull;
        allNull = allNull && isNull;
        if (isNull && wanted.required)
          throw Error("The " + what + " cannot be created: a row has no value in column \"" + p.name + "\".");
      }
      if (allNull && wanted.ignoreNulls) continue;
      encodeRowKey(f.version, maintained.parts, scan.values(), key);
      if (key.size() > IndexTree::maxKeySize(f))
        throw Error("A key of the " + what + " is too long (" + std::to_string(key.size()) + " bytes).");
      if (wanted.unique && !anyNull) keys.push_back(key);
      appendDataPointer(key, scan.location().page, static_cast<std::uint8_t>(scan.location().row));
      entries.push_back(key);
    }
  }
  std::sort(keys.begin(), keys.end());
  if (std::adjacent_find(keys.begin(), keys.end()) != keys.end())
    throw Error("The unique " + what + " cannot be created: rows of the table share a key.");
  std::sort(entries.begin(), entries.end());

  Bytes bytes = definitionBytes(pager, def);
  Sections s = sectionsOf(f, bytes, pager.path());
  std::uint32_t realNumber;
  if (shared) {
    realNumber = static_cast<std::uint32_t>(*shared);
    if (wanted.required && !def.realIndexes[*shared].required)
      bytes[s.realIndexes + *shared * f.realIndexSize + f.realIndexFlagsOffset] |= kRequired;
  } else {
    realNumber = static_cast<std::uint32_t>(def.realIndexes.size());
    PageAllocator allocator(pager);
    wanted.usageMapPointer = addMapRow(pager, allocator, def.usageMapPointer);
    wanted.firstPage = IndexTree::createRoot(pager, def.definitionPage, wanted.usageMapPointer, maintained.what);
    IndexTree tree(pager, wanted.firstPage, wanted.usageMapPointer, maintained.what, db->indexPages);
    for (const Bytes& e : entries)
      tree.insert(std::span(e).first(e.size() - kIndexPointerSize),
                  {loadBigEndian32(std::span(e).last(4)) >> 8, e.back()});
    // Splices from the back, so the earlier offsets stay right.
    splice(bytes, s.logicalIndexes, realIndexRecord(f, wanted));
    Bytes count(f.realIndexEntrySize, 0);
    put(count, 4, def.rowCount, 4);
    splice(bytes, s.columns, count);
    put(bytes, f.tdefRealIndexCountOffset, realNumber + 1, 4);
    s = sectionsOf(f, bytes, pager.path());
  }
  std::uint32_t number = 0;
  for (const Index& ix : def.indexes) number = std::max(number, ix.number + 1);
  Bytes name;
  appendName(f, name, spec.name, db->header.codePage);
  splice(bytes, s.rest, name);
  splice(bytes, s.logicalNames, logicalIndexRecord(f, number, realNumber, spec.primary));
  put(bytes, f.tdefIndexCountOffset, static_cast<std::uint32_t>(def.indexes.size() + 1), 4);
  put(bytes, 8, static_cast<std::uint32_t>(bytes.size()), 4);
  storeDefinition(pager, def.definitionPage, bytes);
  db->appending.forget();  // the tables' definitions are read again
}

void dropIndex(const std::shared_ptr<DatabaseState>& db, std::string_view tableName, std::string_view indexName) {
  Pager& pager = db->pager;
  const Format& f = pager.format();
  const TableEntry& entry = tableEntry(*db, tableName);
  const TableDefinition def = readTableDefinition(pager, db->text, entry.definitionPage, entry.name);
  std::optional<std::size_t> logical;
  for (std::size_t i = 0; i < def.indexes.size(); ++i)
    if (equalsIgnoreAsciiCase(def.indexes[i].name, indexName)) logical = i;
  if (!logical) throw Error("The table \"" + def.name + "\" has no index \"" + std::string(indexName) + "\".");
  if (def.indexes[*logical].kind == Index::Kind::ForeignKey)
    throw Error("The index \"" + def.indexes[*logical].name + "\" of table \"" + def.name +
                "\" belongs to a relationship; dropping it is not written yet.");
  const std::uint32_t real = def.indexes[*logical].realIndex;
  bool stillUsed = false;
  for (std::size_t i = 0; i < def.indexes.size(); ++i) stillUsed = stillUsed || (i != *logical && def.indexes[i].realIndex == real);

  Bytes bytes = definitionBytes(pager, def);
  Sections s = sectionsOf(f, bytes, pager.path());
  // The logical record and its name (the back first).
  std::size_t nameAt = s.logicalNames;
  for (std::size_t i = 0; i < *logical; ++i) nameAt += f.nameLengthSize + (f.nameLengthSize == 1 ? bytes[nameAt] : loadU16(bytes.data() + nameAt));
  cut(bytes, nameAt, f.nameLengthSize + (f.nameLengthSize == 1 ? bytes[nameAt] : loadU16(bytes.data() + nameAt)));
  cut(bytes, s.logicalIndexes + *logical * f.logicalIndexSize, f.logicalIndexSize);
  put(bytes, f.tdefIndexCountOffset, static_cast<std::uint32_t>(def.indexes.size() - 1), 4);
  if (!stillUsed) {
    // Later real indexes move down one; the logical records follow them.
    const std::size_t logicalStart = s.logicalIndexes - f.realIndexSize;
    cut(bytes, s.realIndexes + real * f.realIndexSize, f.realIndexSize);
    for (std::size_t i = 0; i + 1 < def.indexes.size(); ++i) {
      const std::size_t at = logicalStart + i * f.logicalIndexSize + f.logicalIndexRealOffset;
      const std::uint32_t r = loadU32(bytes.data() + at);
      if (r > real) put(bytes, at, r - 1, 4);
    }
    cut(bytes, s.counts + real * f.realIndexEntrySize, f.realIndexEntrySize);
    put(bytes, f.tdefRealIndexCountOffset, static_cast<std::uint32_t>(def.realIndexes.size() - 1), 4);
    // Its pages go back to the file.
    const RealIndex& ri = def.realIndexes[real];
    std::vector<std::uint32_t> pages{ri.firstPage};
    PageAllocator allocator(pager);
    for (std::size_t i = 0; i < pages.size() && pages.size() <= pager.pageCount(); ++i) {
      const IndexPage page = decodeIndexPage(f, pager.page(pages[i])->bytes(), pager.path(), "index", pages[i]);
      if (!page.leaf)
        for (std::size_t e = 0; e < page.size(); ++e) pages.push_back(page.child(e));
      if (!page.leaf && page.tail && std::find(pages.begin(), pages.end(), page.tail) == pages.end()) pages.push_back(page.tail);
    }
    for (std::uint32_t p : pages) allocator.release(p);
    db->indexPages.clear(pager);
  }
  put(bytes, 8, static_cast<std::uint32_t>(bytes.size()), 4);
  storeDefinition(pager, def.definitionPage, bytes);
  db->appending.forget();
}

}  // namespace fennick::jet
