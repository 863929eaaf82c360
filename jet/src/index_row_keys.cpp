// Row keys through the key library; its exceptions become jet::Error.
#include "index_row_keys.h"

#include <stdexcept>

#include "jet/error.h"
#include "jet_keys/index_key.h"

namespace fennick::jet {

void encodeRowKey(int version, std::span<const KeyPart> parts, const std::vector<Value>& row,
                  std::vector<std::uint8_t>& key) {
  const JetFormat format = version == 4 ? JetFormat::Jet4 : JetFormat::Jet3;
  key.clear();
  for (const KeyPart& p : parts) {
    try {
      const KeyColumn column{static_cast<ColumnType>(p.typeCode), p.ascending, p.scale, p.name};
      const bool text = p.typeCode == static_cast<std::uint8_t>(ColumnType::Text) ||
                        p.typeCode == static_cast<std::uint8_t>(ColumnType::Memo);
      const TextSortOrder order = textSortOrderFor(format, text ? p.sortOrder : 0x0409);
      static const Value null = Value::null();
      const Value& v = p.valueIndex < row.size() ? row[p.valueIndex] : null;
      // The reader shows a GUID's last eight bytes as one group; the key
      // library takes the usual 8-4-4-4-12 form.
      if (p.typeCode == static_cast<std::uint8_t>(ColumnType::Guid) && v.kind() == Value::Kind::Text &&
          v.asText().size() == 37 && v.asText()[23] != '-') {
        std::string usual = v.asText();
        usual.insert(24, "-");
        appendKeyPart(key, format, order, column, Value::text(usual));
      } else {
        appendKeyPart(key, format, order, column, v);
      }
    } catch (const Error&) {
      throw;
    } catch (const std::exception& e) {
      throw Error("The column \"" + p.name + "\" cannot be indexed: " + e.what());
    }
  }
}

}  // namespace fennick::jet
