// Reading MSysObjects.
#include "catalog.h"

#include "bytes.h"
#include "table_definition.h"
#include "table_scan.h"

namespace fennick::jet {
namespace {
constexpr std::int64_t kLocalTable = 1;
constexpr std::uint32_t kPageMask = 0x00FFFFFF;
constexpr std::uint32_t kSystemObjectFlags = 0x80000002u;
}  // namespace

std::vector<TableEntry> readCatalog(const std::shared_ptr<DatabaseState>& db) {
  TableDefinition def = readTableDefinition(db->pager, db->text, kCatalogDefinitionPage, "MSysObjects");
  auto index = [&](const char* name) -> std::size_t {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
      if (def.columns[i].name == name) return i;
    throwDamaged(db->pager.path(), std::string("the catalogue (MSysObjects) has no column \"") + name + "\"");
  };
  const std::size_t id = index("Id"), name = index("Name"), type = index("Type"), flags = index("Flags");
  std::vector<TableEntry> tables;
  TableScan scan(db, std::move(def));
  while (scan.next()) {
    const auto& v = scan.values();
    if (v[type].kind() != fennick::Value::Kind::Integer || (v[type].asInteger() & 0x7FFF) != kLocalTable) continue;
    if (v[id].kind() != fennick::Value::Kind::Integer || v[name].kind() != fennick::Value::Kind::Text) continue;
    TableEntry entry;
    entry.name = v[name].asText();
    entry.definitionPage = static_cast<std::uint32_t>(v[id].asInteger()) & kPageMask;
    entry.flags = v[flags].kind() == fennick::Value::Kind::Integer ? static_cast<std::uint32_t>(v[flags].asInteger()) : 0;
    entry.system = (entry.flags & kSystemObjectFlags) != 0;
    tables.push_back(std::move(entry));
  }
  return tables;
}

}  // namespace fennick::jet
