// Assembles an empty database page by page: the header (page 0), the global
// usage map (page 1), the four table definitions, the map rows of their pages,
// one leaf page per catalogue index and the catalogue's two data pages.
// The page plan is Jet's own (jet/docs/writing.md 2 and 4.4). Relies on
// system_tables.h, catalog_rows.h, page_images.h and the reader's header mask.
#include "templates/empty_database.h"

#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>

#include "catalog_rows.h"
#include "header.h"
#include "page_images.h"
#include "system_tables.h"

namespace fennick::templates {
namespace {

// Constants copied from the Jet 4 file Jet itself made (adox_jet4.mdb):
// what they mean is not known, and every Jet file carries them. The header
// date is kept with the SIDs of the catalogue rows, which Jet 4 masks with a
// per-database value tied to the file and not derivable (catalog_rows.cpp).
constexpr std::uint64_t kJet4HeaderDateBits = 0x40E4AB3E3BD3853EULL;
constexpr std::uint16_t kJet4HeaderWord6A = 0x261C;
constexpr std::uint32_t kJet4HeaderWord98 = 0x0654;
// Jet 3's two unknown header words, the same in every Access 97 file.
constexpr std::uint16_t kJet3HeaderWord38 = 0x0001;
constexpr std::uint16_t kJet3HeaderWord56 = 0x251E;

const jet::Format& formatOf(EmptyDatabaseFormat format) {
  return format == EmptyDatabaseFormat::Jet4 ? jet::kJet4Format : jet::kJet3Format;
}

std::uint32_t pageCountOf(EmptyDatabaseFormat format) { return format == EmptyDatabaseFormat::Jet4 ? 16 : 20; }

Page headerPage(const jet::Format& format) {
  const bool jet4 = format.version == 4;
  Page page(format.pageSize, 0);
  const std::uint8_t start[] = {0x00, 0x01, 0x00, 0x00};
  putBytes(page, 0, start);
  const char magic[] = "Standard Jet DB";  // with its terminating zero
  putBytes(page, 4, std::span(reinterpret_cast<const std::uint8_t*>(magic), sizeof magic));
  putU32(page, 0x14, jet4 ? 1 : 0);
  // The same leading words in every Jet file.
  const std::uint8_t leading[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00};
  putBytes(page, 0x18, leading);
  for (std::uint32_t i = 2; i <= 5; ++i) putU32(page, 0x18 + 4 * i, i);
  putU16(page, format.codePageOffset, 1252);
  putU32(page, format.databaseKeyOffset, 0);  // not encrypted
  putU16(page, format.collationOffset, 0x0409);  // General sort order
  if (jet4) {
    double created;
    std::memcpy(&created, &kJet4HeaderDateBits, sizeof created);
    // An empty password is stored as the creation day repeated ten times.
    const auto day = static_cast<std::uint32_t>(std::floor(created));
    for (int i = 0; i < 10; ++i) putU32(page, 0x42 + 4 * i, day);
    putU16(page, 0x6A, kJet4HeaderWord6A);
    std::uint8_t dateBytes[8];
    std::memcpy(dateBytes, &kJet4HeaderDateBits, 8);
    putBytes(page, format.creationDateOffset, dateBytes);
    putU32(page, 0x98, kJet4HeaderWord98);
    const std::uint8_t version[] = {'4', '.', '0', 0};
    putBytes(page, 0x9C, version);
  } else {
    putU16(page, 0x38, kJet3HeaderWord38);
    putU16(page, 0x56, kJet3HeaderWord56);
  }
  // The table of 256 words closing the page: 0x0101, then 0x0100.
  const std::size_t table = format.pageSize - 512;
  putU16(page, table, 0x0101);
  for (std::size_t i = 1; i < 256; ++i) putU16(page, table + 2 * i, 0x0100);
  jet::toggleHeaderMask(page, format);
  return page;
}

Page globalUsageMap(const jet::Format& format, std::uint32_t pageCount) {
  // A set bit marks a free page: every page from the file's end on.
  std::vector<std::uint32_t> free;
  for (std::uint32_t p = pageCount; p < usageMapRowPages(format); ++p) free.push_back(p);
  std::vector<std::vector<std::uint8_t>> rows = {usageMapRow(format, free),
                                                 std::vector<std::uint8_t>(5 + usageMapRowPages(format) / 8, 0)};
  return dataPage(format, 1, rows);
}

// Every map row a table points at, with the pages it marks.
void collectMapRows(const SystemTable& table, std::map<std::uint32_t, std::vector<std::uint32_t>>& rows) {
  std::vector<std::uint32_t> dataPages;
  if (table.dataPage) dataPages.push_back(table.dataPage);
  rows[table.usedMap] = dataPages;
  rows[table.freeMap] = dataPages;  // a new table's data page still has room
  for (const auto& m : table.longMaps) {
    rows[m.usedMap] = {};
    rows[m.freeMap] = {};
  }
  for (const auto& index : table.indexes) rows[index.usageMap] = {index.leafPage};
}

}  // namespace

const char* templateFileName(EmptyDatabaseFormat format) {
  return format == EmptyDatabaseFormat::Jet4 ? "mdb2000" : "mdb95";
}

std::vector<std::uint8_t> makeEmptyDatabase(EmptyDatabaseFormat which) {
  const jet::Format& format = formatOf(which);
  const std::uint32_t pageCount = pageCountOf(which);
  std::vector<Page> pages(pageCount);
  pages[0] = headerPage(format);
  pages[1] = globalUsageMap(format, pageCount);

  const auto tables = systemTables(format);
  const CatalogRows rows = catalogRows(format, tables);
  const SystemTable& objects = tables.at(0);
  const SystemTable& aces = tables.at(1);
  for (const auto& table : tables) {
    std::uint32_t rowCount = 0;
    if (&table == &objects) rowCount = static_cast<std::uint32_t>(rows.objects.size());
    if (&table == &aces) rowCount = static_cast<std::uint32_t>(rows.aces.size());
    pages.at(table.definitionPage) = tableDefinitionPage(format, table, rowCount);
  }
  pages.at(objects.dataPage) = dataPage(format, objects.definitionPage, rows.objects);
  pages.at(aces.dataPage) = dataPage(format, aces.definitionPage, rows.aces);

  for (const auto& table : tables)
    for (const auto& index : table.indexes) {
      std::vector<std::vector<std::uint8_t>> entries;
      if (&table == &objects) entries = index.name == "Id" ? rows.idEntries : rows.parentIdNameEntries;
      if (&table == &aces) entries = rows.objectIdEntries;
      pages.at(index.leafPage) = leafPage(format, table.definitionPage, entries);
    }

  // Map rows grouped by their page, each page holding rows 0, 1, 2, ...
  std::map<std::uint32_t, std::vector<std::uint32_t>> mapRows;
  for (const auto& table : tables) collectMapRows(table, mapRows);
  std::map<std::uint32_t, std::vector<std::vector<std::uint8_t>>> mapPages;
  for (const auto& [pointer, marked] : mapRows) {
    auto& onPage = mapPages[pointer >> 8];
    if (onPage.size() != (pointer & 0xFF)) throw std::logic_error("the usage-map rows of a page are not numbered from 0 up");
    onPage.push_back(usageMapRow(format, marked));
  }
  for (const auto& [page, mapRowsOnPage] : mapPages) pages.at(page) = dataPage(format, 0, mapRowsOnPage);

  std::vector<std::uint8_t> file;
  file.reserve(std::size_t{pageCount} * format.pageSize);
  for (std::uint32_t p = 0; p < pageCount; ++p) {
    if (pages[p].size() != format.pageSize) throw std::logic_error("page " + std::to_string(p) + " of the template was not built");
    file.insert(file.end(), pages[p].begin(), pages[p].end());
  }
  return file;
}

}  // namespace fennick::templates
