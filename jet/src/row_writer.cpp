// Field encoding and the row layout. Jet 3 rows whose variable data reaches
// past byte 255 need a jump table, which is not written yet: such rows are
// refused with a clear error.
#include "row_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/utf.h"
#include "jet/error.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

template <typename T>
void appendLittle(std::vector<std::uint8_t>& out, T value) {
  std::uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));  // the platforms we build for are little-endian
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

[[noreturn]] void refuse(const TableDefinition& def, const Column& c, const std::string& what) {
  throw Error("Cannot store a value in column \"" + c.name + "\" of table \"" + def.name + "\": " + what + ".");
}

double numberOf(const TableDefinition& def, const Column& c, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Integer: return static_cast<double>(v.asInteger());
    case Value::Kind::Double: return v.asDouble();
    case Value::Kind::Boolean: return v.asBoolean() ? -1 : 0;
    default: refuse(def, c, std::string("a ") + kindName(v.kind()) + " value is not a number");
  }
}

std::int64_t integerOf(const TableDefinition& def, const Column& c, const Value& v, std::int64_t low, std::int64_t high) {
  std::int64_t i = 0;
  if (v.kind() == Value::Kind::Integer) {
    i = v.asInteger();
  } else {
    const double d = numberOf(def, c, v);
    if (d != std::floor(d)) refuse(def, c, "the number is not whole");
    if (!(d >= double(low) && d <= double(high))) refuse(def, c, "the number is out of range");
    i = static_cast<std::int64_t>(d);
  }
  if (i < low || i > high) refuse(def, c, std::to_string(i) + " is out of range");
  return i;
}

std::vector<std::uint8_t> textField(const Format& format, const TableDefinition& def, const Column& c,
                                    const Value& v, unsigned codePage) {
  if (v.kind() != Value::Kind::Text) refuse(def, c, std::string("a ") + kindName(v.kind()) + " value is not text");
  const std::u16string units = utf8ToUtf16(v.asText());
  if (c.textLength && units.size() > c.textLength)
    refuse(def, c, "the text is longer than " + std::to_string(c.textLength) + " characters");
  std::vector<std::uint8_t> out;
  if (format.version == 3) {
    const std::string bytes = platform::toCodePage(codePage, v.asText());
    out.assign(bytes.begin(), bytes.end());
    return out;
  }
  // Compressed form (FF FE, one byte per character) when every character
  // allows it; a zero byte would switch modes, so it must not occur.
  const bool compressible = c.compressedUnicode && !units.empty() &&
                            std::all_of(units.begin(), units.end(), [](char16_t u) { return u >= 1 && u <= 0xFF; });
  if (compressible) {
    out = {0xFF, 0xFE};
    for (char16_t u : units) out.push_back(static_cast<std::uint8_t>(u));
  } else {
    for (char16_t u : units) appendLittle<std::uint16_t>(out, u);
  }
  return out;
}

std::vector<std::uint8_t> encodeField(const Format& format, const TableDefinition& def, const Column& c,
                                      const Value& v, unsigned codePage) {
  std::vector<std::uint8_t> out;
  switch (c.type) {
    case ColumnType::Byte: out.push_back(static_cast<std::uint8_t>(integerOf(def, c, v, 0, 255))); break;
    case ColumnType::Integer: appendLittle(out, static_cast<std::int16_t>(integerOf(def, c, v, -32768, 32767))); break;
    case ColumnType::Long:
      appendLittle(out, static_cast<std::int32_t>(integerOf(def, c, v, INT32_MIN, INT32_MAX)));
      break;
    case ColumnType::Single: appendLittle(out, static_cast<float>(numberOf(def, c, v))); break;
    case ColumnType::Double: appendLittle(out, numberOf(def, c, v)); break;
    case ColumnType::DateTime:
      if (v.kind() != Value::Kind::DateTime) refuse(def, c, std::string("a ") + kindName(v.kind()) + " value is not a date");
      appendLittle(out, v.asDateTime().toOleDate());
      break;
    case ColumnType::Text: out = textField(format, def, c, v, codePage); break;
    case ColumnType::Binary:
      if (v.kind() != Value::Kind::Bytes) refuse(def, c, std::string("a ") + kindName(v.kind()) + " value is not binary");
      if (v.asBytes().size() > c.length) refuse(def, c, "the value is longer than " + std::to_string(c.length) + " bytes");
      out = v.asBytes();
      break;
    default: refuse(def, c, std::string("columns of type ") + columnTypeName(c.type) + " are not written yet");
  }
  return out;
}

void appendOffset(const Format& format, std::vector<std::uint8_t>& row, std::size_t value) {
  row.push_back(static_cast<std::uint8_t>(value));
  if (format.rowVarOffsetSize == 2) row.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

std::vector<std::uint8_t> encodeRow(const Format& format, const TableDefinition& def,
                                    const std::vector<Value>& values, unsigned codePage) {
  if (values.size() != def.columns.size())
    throw Error("A row for table \"" + def.name + "\" needs " + std::to_string(def.columns.size()) + " values, not " +
                std::to_string(values.size()) + ".");
  const std::size_t countSize = format.rowColumnCountSize;
  std::size_t fixedSize = 0;
  std::vector<const Column*> variable;
  for (const auto& c : def.columns) {
    if (c.type == ColumnType::Boolean) continue;
    if (c.fixed) fixedSize = std::max<std::size_t>(fixedSize, std::size_t{c.fixedOffset} + c.length);
    else variable.push_back(&c);
  }
  std::sort(variable.begin(), variable.end(), [](auto* a, auto* b) { return a->varIndex < b->varIndex; });

  std::vector<std::uint8_t> row(countSize + fixedSize, 0);
  row[0] = static_cast<std::uint8_t>(def.maxColumns);
  if (countSize == 2) row[1] = static_cast<std::uint8_t>(def.maxColumns >> 8);
  std::vector<std::uint8_t> nullMask((def.maxColumns + 7) / 8, 0);
  const auto present = [&](const Column& c) { nullMask.at(c.number / 8) |= static_cast<std::uint8_t>(1u << (c.number % 8)); };
  std::vector<std::vector<std::uint8_t>> varData(variable.size());
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const Column& c = def.columns[i];
    const Value& v = values[i];
    if (c.type == ColumnType::Boolean) {
      if (!v.isNull() && numberOf(def, c, v) != 0) present(c);
      continue;
    }
    if (v.isNull()) continue;
    present(c);
    auto field = encodeField(format, def, c, v, codePage);
    if (c.fixed) {
      if (field.size() != c.length) refuse(def, c, "the value does not fill the column");
      std::copy(field.begin(), field.end(), row.begin() + countSize + c.fixedOffset);
    } else {
      const auto at = std::find(variable.begin(), variable.end(), &c) - variable.begin();
      varData[at] = std::move(field);
    }
  }
  if (!variable.empty()) {
    std::vector<std::size_t> starts;
    for (const auto& field : varData) {
      starts.push_back(row.size());
      row.insert(row.end(), field.begin(), field.end());
    }
    const std::size_t endOfData = row.size();
    if (format.rowVarOffsetSize == 1 && endOfData > 0xFF)
      throw Error("A row of table \"" + def.name + "\" is longer than 255 bytes, which Jet 3 rows are not written at yet.");
    appendOffset(format, row, endOfData);
    for (std::size_t i = starts.size(); i-- > 0;) appendOffset(format, row, starts[i]);
    appendOffset(format, row, starts.size());
  }
  row.insert(row.end(), nullMask.begin(), nullMask.end());
  return row;
}

}  // namespace fennick::jet
