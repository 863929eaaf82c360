// The stand-in's column descriptions from declared SQLite types, and the
// Oracle byte forms it serves: NUMBER (exponent byte, base-100 digits) and
// civil date-times read from ISO text.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "standin.h"

namespace oci = fennick::oci;

namespace standin {

ColumnDescription describeColumn(sqlite3_stmt* statement, int index) {
  ColumnDescription column;
  column.name = sqlite3_column_name(statement, index);
  const char* declared = sqlite3_column_decltype(statement, index);
  std::string type = declared ? declared : "";
  std::size_t open = type.find('(');
  std::string base = type.substr(0, open);
  for (char& ch : base) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  int length = open == std::string::npos ? 0 : std::atoi(type.c_str() + open + 1);

  struct Kind {
    const char* name;
    ub2 type;
    ub2 size;
  };
  static const Kind kKinds[] = {
      {"NUMBER", oci::type::kNumber, 22},      {"INTEGER", oci::type::kNumber, 22},
      {"FLOAT", oci::type::kNumber, 22},       {"VARCHAR2", oci::type::kVarchar2, 4000},
      {"NVARCHAR2", oci::type::kVarchar2, 4000}, {"CHAR", oci::type::kChar, 1},
      {"NCHAR", oci::type::kChar, 1},          {"DATE", oci::type::kDate, 7},
      {"TIMESTAMP", oci::type::kTimestamp, 11}, {"CLOB", oci::type::kClob, 4000},
      {"NCLOB", oci::type::kClob, 4000},       {"BLOB", oci::type::kBlob, 4000},
      {"LONG", oci::type::kLong, 0},           {"LONG RAW", oci::type::kLongRaw, 0},
      {"RAW", oci::type::kRaw, 2000},          {"BINARY_DOUBLE", oci::type::kBinaryDoubleColumn, 8},
      {"BINARY_FLOAT", oci::type::kBinaryFloatColumn, 4},
  };
  for (const Kind& kind : kKinds) {
    if (base != kind.name) continue;
    column.type = kind.type;
    column.size = kind.size;
    bool sized = kind.type == oci::type::kVarchar2 || kind.type == oci::type::kChar || kind.type == oci::type::kRaw;
    if (sized && length > 0) column.size = static_cast<ub2>(length);
  }
  return column;
}

std::vector<ub1> encodeNumber(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string digits;
  long point = -1;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    if (std::isdigit(static_cast<unsigned char>(ch))) digits += ch;
    else if (ch == '.' && point < 0) point = static_cast<long>(digits.size());
    else break;
  }
  if (digits.empty()) return {};
  if (point < 0) point = static_cast<long>(digits.size());
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return {};
    char* end = nullptr;
    long exponent = std::strtol(text.c_str() + i + 1, &end, 10);
    if (*end != 0) return {};
    point += exponent;
  }
  // Leading zeros move the point; trailing zeros go.
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return {0x80};
  digits.erase(0, first);
  point -= static_cast<long>(first);
  digits.erase(digits.find_last_not_of('0') + 1);
  // Base-100 pairs aligned on the decimal point.
  if (point % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++point;
  }
  if (digits.size() % 2 != 0) digits += '0';
  std::vector<int> pairs;
  for (std::size_t p = 0; p < digits.size(); p += 2) pairs.push_back((digits[p] - '0') * 10 + (digits[p + 1] - '0'));
  if (pairs.size() > 20) pairs.resize(20);
  long exponent = point / 2 - 1;
  if (exponent < -65 || exponent > 62) return {};
  std::vector<ub1> bytes;
  if (!negative) {
    bytes.push_back(static_cast<ub1>(0xC1 + exponent));
    for (int pair : pairs) bytes.push_back(static_cast<ub1>(pair + 1));
  } else {
    bytes.push_back(static_cast<ub1>(0x3E - exponent));
    for (int pair : pairs) bytes.push_back(static_cast<ub1>(101 - pair));
    if (pairs.size() < 20) bytes.push_back(102);
  }
  return bytes;
}

bool parseCivilTime(const std::string& text, CivilTime& out) {
  CivilTime t;
  char fraction[16] = {};
  int fields = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d.%9[0-9]", &t.year, &t.month, &t.day, &t.hour,
                           &t.minute, &t.second, fraction);
  if (fields != 3 && fields < 6) return false;
  if (fields == 7) {
    std::string digits = fraction;
    digits.resize(9, '0');
    t.nanosecond = std::atoi(digits.c_str());
  }
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31) return false;
  out = t;
  return true;
}

}  // namespace standin
