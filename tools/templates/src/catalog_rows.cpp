// The catalogue rows of an empty database (jet/docs/writing.md 3.1, 3.2 and
// 4.3) and the Jet row layout they are stored in: column count, fixed area,
// variable data, variable-offset table read backwards from the row's end,
// null mask. Relies on system_tables.h and jet/src/keys for index keys.
#include "catalog_rows.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "jet_keys/index_key.h"

namespace fennick::templates {
namespace {

// The template's fixed dates: the header date and the objects' creation
// date of the Jet 4 file Jet made (adox_jet4.mdb), kept bit for bit because
// its SIDs belong to them (see empty_database.cpp).
constexpr std::uint64_t kObjectsCreatedBits = 0x40E4AB3E3BD3FB4EULL;

// Security ids as Jet 3 stores them; Jet 4 stores each XORed with a
// per-database value we cannot derive, so the Jet 4 template carries the
// ones of the file it follows (mask 67 8A).
enum class Sid { Engine, Creator, Group, ContainerCreator };

std::vector<std::uint8_t> sidBytes(const jet::Format& format, Sid sid) {
  const bool jet4 = format.version == 4;
  switch (sid) {
    case Sid::Engine: return jet4 ? std::vector<std::uint8_t>{0x65, 0x89} : std::vector<std::uint8_t>{0x02, 0x03};
    case Sid::Creator: return jet4 ? std::vector<std::uint8_t>{0x64, 0x8B} : std::vector<std::uint8_t>{0x03, 0x01};
    case Sid::Group: return jet4 ? std::vector<std::uint8_t>{0x65, 0x8B} : std::vector<std::uint8_t>{0x02, 0x01};
    case Sid::ContainerCreator: return jet4 ? std::vector<std::uint8_t>{0x65, 0x8E} : std::vector<std::uint8_t>{0x02, 0x04};
  }
  return {};
}

std::vector<std::uint8_t> le(std::uint64_t value, int size) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

std::vector<std::uint8_t> systemText(const jet::Format& format, const std::string& ascii) {
  // Jet 4 system text is plain UTF-16LE (never compressed); Jet 3 uses the
  // code page, and these names are ASCII.
  std::vector<std::uint8_t> out;
  for (char c : ascii) {
    out.push_back(static_cast<std::uint8_t>(c));
    if (format.version == 4) out.push_back(0);
  }
  return out;
}

constexpr std::uint32_t kRootId = 0x0F000000;
constexpr std::uint32_t kTablesId = 0x0F000001;
constexpr std::uint32_t kDatabasesId = 0x0F000002;
constexpr std::uint32_t kRelationshipsId = 0x0F000003;
constexpr std::uint32_t kMSysDbId = 0x10000000;
constexpr std::uint32_t kEngineObjectFlags = 0x80000000;

struct ObjectRow {
  std::uint32_t id;
  std::uint32_t parentId;
  const char* name;
  std::uint16_t type;  // 1 table, 2 database, 3 container
  Sid owner;
};

struct AceRow {
  std::uint32_t objectId;
  Sid sid;
  std::uint32_t accessMask;
  bool inheritable;
};

void appendOffset(const jet::Format& format, std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  if (format.rowVarOffsetSize == 2) out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

std::vector<std::uint8_t> encodeRow(const jet::Format& format, const SystemTable& table,
                                    const std::vector<Field>& fields) {
  if (fields.size() != table.columns.size()) throw std::invalid_argument("a row of " + table.name + " has the wrong number of fields");
  const std::size_t countSize = format.rowColumnCountSize;
  std::size_t fixedSize = 0;
  for (const auto& c : table.columns)
    if (c.isFixed()) fixedSize = std::max<std::size_t>(fixedSize, c.fixedOffset + c.fixedLength());

  std::vector<std::uint8_t> row(countSize + fixedSize, 0);
  row[0] = static_cast<std::uint8_t>(table.columns.size());
  if (countSize == 2) row[1] = static_cast<std::uint8_t>(table.columns.size() >> 8);
  std::vector<std::uint8_t> nullMask((table.columns.size() + 7) / 8, 0);
  std::vector<std::size_t> varStarts;
  for (const auto& c : table.columns) {
    const Field& field = fields[c.number];
    bool present = field.has_value();
    if (c.type == kBoolean) {
      present = field && !field->empty() && (*field)[0] != 0;
    } else if (c.isFixed() && field) {
      if (field->size() != c.fixedLength()) throw std::invalid_argument("a fixed field of " + table.name + " has the wrong size");
      std::copy(field->begin(), field->end(), row.begin() + countSize + c.fixedOffset);
    }
    if (present) nullMask[c.number / 8] |= static_cast<std::uint8_t>(1u << (c.number % 8));
  }
  // Variable data follows in column-number order (their variable index order).
  for (const auto& c : table.columns) {
    if (c.isFixed()) continue;
    varStarts.push_back(row.size());
    if (const Field& field = fields[c.number]) row.insert(row.end(), field->begin(), field->end());
  }
  const std::size_t endOfData = row.size();
  appendOffset(format, row, endOfData);
  for (std::size_t i = varStarts.size(); i-- > 0;) appendOffset(format, row, varStarts[i]);
  appendOffset(format, row, varStarts.size());
  row.insert(row.end(), nullMask.begin(), nullMask.end());
  // Jet 3 rows of 256 bytes or more need a jump table; none of ours do.
  if (format.rowVarOffsetSize == 1 && endOfData > 0xFF) throw std::length_error("a row of " + table.name + " is too long");
  return row;
}

CatalogRows catalogRows(const jet::Format& format, const std::vector<SystemTable>& tables) {
  const bool jet4 = format.version == 4;
  const SystemTable& objects = tables.at(0);
  const SystemTable& aces = tables.at(1);

  std::vector<ObjectRow> objectRows = {
      {kTablesId, kRootId, "Tables", 3, Sid::Engine},
      {kDatabasesId, kRootId, "Databases", 3, Sid::Engine},
      {kRelationshipsId, kRootId, "Relationships", 3, Sid::Engine},
      {kMSysDbId, kDatabasesId, "MSysDb", 2, Sid::Creator},
  };
  for (const auto& t : tables) objectRows.push_back({t.definitionPage, kTablesId, t.name.c_str(), 1, Sid::Engine});

  const std::vector<AceRow> aceRows = {
      {2, Sid::Creator, 0x00060000, false},
      {3, Sid::Creator, 0x00060000, false},
      {4, Sid::Creator, 0x00060000, false},
      {5, Sid::Creator, 0x000E0000, false},
      {kTablesId, Sid::ContainerCreator, 0x000F00FE, true},
      // Jet 3 gives the creating user full inheritable rights on Tables.
      jet4 ? AceRow{kTablesId, Sid::Creator, 0x00060001, false} : AceRow{kTablesId, Sid::Creator, 0x000FFEFF, true},
      {kRelationshipsId, Sid::ContainerCreator, 0x000F00FE, true},
      {kRelationshipsId, Sid::Creator, 0x00060001, false},
      {kDatabasesId, Sid::Creator, 0x00060000, false},
      {kMSysDbId, Sid::Creator, 0x0006000E, false},
      {kMSysDbId, Sid::Group, 0x0000000E, false},
      {4, Sid::Group, 0x00000014, false},
      {5, Sid::Group, 0x00000014, false},
      {2, Sid::Group, 0x00000014, false},
      {kTablesId, Sid::Group, 0x000FFEFF, true},
      {kRelationshipsId, Sid::Group, 0x000FFFFF, true},
  };

  const jet::JetFormat keyFormat = jet4 ? jet::JetFormat::Jet4 : jet::JetFormat::Jet3;
  const jet::TextSortOrder order = jet::textSortOrderFor(keyFormat, 0x0409, 0);
  const jet::KeyColumn longKey{jet::ColumnType::Long, true, 0, "Id"};
  const jet::KeyColumn textKey{jet::ColumnType::Text, true, 0, "Name"};
  const auto entry = [](Bytes key, std::uint32_t page, std::size_t row) {
    appendEntryPointer(key, page, static_cast<std::uint8_t>(row));
    return key;
  };

  CatalogRows out;
  const auto created = le(kObjectsCreatedBits, 8);
  for (std::size_t i = 0; i < objectRows.size(); ++i) {
    const ObjectRow& o = objectRows[i];
    std::vector<Field> fields(objects.columns.size());
    fields[0] = le(o.id, 4);
    fields[1] = le(o.parentId, 4);
    fields[2] = systemText(format, o.name);
    fields[3] = le(o.type, 2);
    fields[4] = created;
    fields[5] = created;
    fields[6] = sidBytes(format, o.owner);
    fields[7] = le(kEngineObjectFlags, 4);
    out.objects.push_back(encodeRow(format, objects, fields));

    const jet::KeyColumn parentName[] = {longKey, textKey};
    const Value parentNameValues[] = {Value::integer(static_cast<std::int32_t>(o.parentId)), Value::text(o.name)};
    out.parentIdNameEntries.push_back(
        entry(jet::encodeIndexKey(keyFormat, order, parentName, parentNameValues), objects.dataPage, i));
    const Value idValue[] = {Value::integer(static_cast<std::int32_t>(o.id))};
    out.idEntries.push_back(entry(jet::encodeIndexKey(keyFormat, order, std::span(&longKey, 1), idValue), objects.dataPage, i));
  }
  for (std::size_t i = 0; i < aceRows.size(); ++i) {
    const AceRow& a = aceRows[i];
    std::vector<Field> fields(aces.columns.size());
    fields[0] = le(a.objectId, 4);
    fields[1] = sidBytes(format, a.sid);
    fields[2] = le(a.accessMask, 4);
    fields[3] = std::vector<std::uint8_t>{static_cast<std::uint8_t>(a.inheritable ? 1 : 0)};
    out.aces.push_back(encodeRow(format, aces, fields));
    const Value idValue[] = {Value::integer(static_cast<std::int32_t>(a.objectId))};
    out.objectIdEntries.push_back(entry(jet::encodeIndexKey(keyFormat, order, std::span(&longKey, 1), idValue), aces.dataPage, i));
  }
  return out;
}

}  // namespace fennick::templates
