// Random workloads against the writer, judged twice: a plain in-memory model
// of what the file must hold is compared with our reader and with mdbtools
// after every commit and at the end. Each fixed seed runs a sequence of
// table creations (every column type, random lengths, names with blanks,
// accents and, in Jet 4, Greek and CJK), appended rows (NULLs, empty and
// full texts, Memo/OLE from 0 bytes to about 100 KB, extreme numbers and
// dates), refused rows, drops, rollbacks, commits and reopenings.
// FENNICK_RANDOM_ROUNDS=<n> runs n operations per seed instead of the
// default, for soak runs on demand, and FENNICK_RANDOM_SEED=<n> adds n to
// every seed for fresh sequences.
// FENNICK_RANDOM_KEEP=<folder> keeps each run's file there for a closer look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fixtures.h"
#include "jet/database.h"
#include "platform/file.h"
#include "test_support.h"

namespace fennick::jet {
namespace {

using test::shellQuote;

struct Case {
  const char* file;
  int version;
  std::uint64_t seed;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.file << " seed " << c.seed; }
const Case kCases[] = {{"mdb2000", 4, 1}, {"mdb2000", 4, 2}, {"mdb2000", 4, 3},
                       {"mdb95", 3, 1},   {"mdb95", 3, 2},   {"mdb95", 3, 3}};

int operationsPerSeed() {
  if (const char* n = std::getenv("FENNICK_RANDOM_ROUNDS"); n && std::atoi(n) > 0) return std::atoi(n);
  return 45;
}

std::uint64_t seedOffset() {
  const char* n = std::getenv("FENNICK_RANDOM_SEED");
  return n ? std::strtoull(n, nullptr, 10) : 0;
}

// Deterministic on every platform: no standard distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t bits() { return engine_(); }
  // 0 .. n-1
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  bool chance(unsigned percent) { return below(100) < percent; }
  template <typename T>
  const T& pick(const std::vector<T>& from) { return from[below(from.size())]; }

 private:
  std::mt19937_64 engine_;
};

// ---------------------------------------------------------------------------
// The model: what the file must hold, with values as our reader gives them.

struct ModelTable {
  std::string name;
  std::vector<NewColumn> columns;
  std::vector<std::vector<Value>> rows;
  std::int64_t nextNumber = 1;  // the autonumber column's next NULL
};

using Model = std::vector<ModelTable>;

ModelTable* find(Model& model, const std::string& name) {
  for (auto& t : model)
    if (t.name == name) return &t;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Random names and values.

// Text pieces of either format (Latin-1 for Jet 3's code page) and Jet 4's wider ones.
const std::vector<std::string> kLatin = {"a", "Z", "0", " ", "-", "_", "\xC3\xA9", "\xC3\xBC", "\xC3\x9F", "\xC3\x85",
                                         "\xC3\xB1", "'", "\"", ",", "\xC2\xA3", "x"};
const std::vector<std::string> kWide = {"\xCE\xB1", "\xCE\xA9", "\xE4\xB8\xAD", "\xE6\x96\x87", "\xE2\x82\xAC",
                                        "\xD0\x96", "\xEA\xB0\x80"};

// `units` UTF-16 units long, the measure of Jet's text lengths; Jet 4 text
// sometimes holds a character outside the Basic Multilingual Plane (two units).
std::string randomText(Random& r, int version, std::size_t units) {
  std::string out;
  // Mostly plain letters, so that Jet 4's compressed form is used too.
  const unsigned wide = version == 4 ? static_cast<unsigned>(r.below(3)) * 20 : 0;
  for (std::size_t i = 0; i < units; ++i) {
    if (r.chance(wide)) {
      if (i + 1 < units && r.chance(10)) {
        out += "\xF0\x9F\x98\x80";  // U+1F600
        ++i;
      } else {
        out += r.pick(kWide);
      }
    } else if (r.chance(70)) {
      out.push_back(static_cast<char>('a' + r.below(26)));
    } else {
      out += r.pick(kLatin);
    }
  }
  return out;
}

std::string tableName(Random& r, int version) {
  std::vector<std::string> names = {"Orders", "Order Lines", "Caf\xC3\xA9 Pr\xC3\xA9ts", "T", "Stra\xC3\x9F" "e",
                                    "A table with a rather long name of forty",
                                    "Sixty-four characters, the longest name Jet allows for a table??"};
  if (version == 4) {
    names.push_back("\xE9\xA1\xA7\xE5\xAE\xA2");               // CJK
    names.push_back("\xCE\x94\xCE\xB5\xCE\xBB\xCF\x84\xCE\xB1 7");  // Greek
  }
  return r.pick(names);
}

std::string columnName(Random& r, int version, std::size_t i) {
  std::vector<std::string> stems = {"Id", "Name", "Unit price", "\xC3\x89t\xC3\xA9", "x", "Na\xC3\xAFve col"};
  if (version == 4) {
    stems.push_back("\xE5\x90\x8D\xE5\x89\x8D");
    stems.push_back("\xCE\xA3 sum");
  }
  return r.pick(stems) + " " + std::to_string(i);  // the number keeps names unique
}

std::string currencyText(std::int64_t units) {
  const bool negative = units < 0;
  const std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
  std::string digits = std::to_string(m);
  if (digits.size() <= 4) digits.insert(0, 5 - digits.size(), '0');
  digits.insert(digits.size() - 4, 1, '.');
  return negative ? "-" + digits : digits;
}

// A Numeric value as our reader prints it: `scale` decimals, no sign on zero.
std::string numericText(Random& r, unsigned precision, unsigned scale) {
  const std::size_t count = r.chance(20) ? precision : 1 + r.below(precision);
  std::string digits;
  for (std::size_t i = 0; i < count; ++i) digits.push_back(static_cast<char>('0' + r.below(10)));
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (scale > 0) {
    if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
    digits.insert(digits.size() - scale, 1, '.');
  }
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return r.chance(40) && !zero ? "-" + digits : digits;
}

std::string guidText(Random& r) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out = "{";
  for (int i = 0; i < 32; ++i) {
    if (i == 8 || i == 12 || i == 16) out.push_back('-');
    out.push_back(hex[r.below(16)]);
  }
  return out + "}";
}

Bytes randomBytes(Random& r, std::size_t size) {
  Bytes b(size);
  for (auto& x : b) x = static_cast<std::uint8_t>(r.bits());
  return b;
}

// Long values: mostly short, some around the inline limit and around whole
// pages (one long-value row, chains of a few pieces), a few large.
std::size_t longSize(Random& r, int version, std::size_t largest) {
  const std::size_t page = version == 4 ? 4096 : 2048;
  switch (r.below(7)) {
    case 0: return 0;
    case 1: return r.below(80);
    case 2: return 60 + r.below(10);
    case 3: return r.below(5000);
    case 4: return r.chance(30) ? r.below(largest) : r.below(300);
    case 5: return page * (1 + r.below(3)) - r.below(48);
    default: return r.below(20);
  }
}

std::vector<NewColumn> randomColumns(Random& r, int version) {
  std::vector<ColumnType> types = {ColumnType::Boolean, ColumnType::Byte,   ColumnType::Integer,  ColumnType::Long,
                                   ColumnType::Currency, ColumnType::Single, ColumnType::Double, ColumnType::DateTime,
                                   ColumnType::Binary,  ColumnType::Text,   ColumnType::Ole,    ColumnType::Memo,
                                   ColumnType::Guid};
  if (version == 4) types.push_back(ColumnType::Numeric);
  const std::size_t count = 1 + r.below(r.chance(15) ? 40 : 10);
  // Each row must fit one data page whatever its values: texts and binaries
  // share what the fixed fields and long-value pointers leave.
  std::size_t budget = version == 4 ? 3600 : 1700;
  std::vector<NewColumn> columns;
  for (std::size_t i = 0; i < count; ++i) {
    NewColumn c{columnName(r, version, i), r.pick(types), 0};
    if (i == 0 && r.chance(30)) {
      c.type = ColumnType::Long;
      c.autoNumber = true;
    }
    std::size_t cost = 20;  // fixed fields, pointers, offsets
    if (c.type == ColumnType::Text || c.type == ColumnType::Binary) {
      c.length = static_cast<std::uint16_t>(r.chance(30) ? 255 : 1 + r.below(100));
      cost = (c.type == ColumnType::Text && version == 4 ? 2u : 1u) * c.length + 4;
      if (cost > budget) {
        c.type = ColumnType::Memo;
        c.length = 0;
        cost = 20;
      }
    }
    if (c.type == ColumnType::Numeric) {
      c.precision = static_cast<std::uint8_t>(1 + r.below(28));
      c.scale = static_cast<std::uint8_t>(r.below(c.precision + 1u));
    }
    if (cost > budget) break;
    budget -= cost;
    columns.push_back(c);
  }
  return columns;
}

DateTime randomDate(Random& r) {
  switch (r.below(5)) {
    case 0: return DateTime{100, 1, 1, 0, 0, 0};
    case 1: return DateTime{9999, 12, 31, 23, 59, 59};
    case 2: return DateTime{1899, 12, 30, 0, 0, 0};
    default: {
      const std::int64_t first = DateTime::daysFromCivil(100, 1, 1), last = DateTime::daysFromCivil(9999, 12, 31);
      DateTime d = DateTime::fromDays(first + static_cast<std::int64_t>(r.below(static_cast<std::size_t>(last - first))));
      d.hour = static_cast<int>(r.below(24));
      d.minute = static_cast<int>(r.below(60));
      d.second = static_cast<int>(r.below(60));
      return d;
    }
  }
}

// A value for column `c`, as written; `r.chance` decides NULLs. The value
// read back is the same except where `expectedOf` says otherwise.
Value randomValue(Random& r, int version, const NewColumn& c) {
  if (c.autoNumber) return Value::null();  // numbered by the engine, or given by the workload
  if (r.chance(15)) return Value::null();
  const bool extreme = r.chance(25);
  switch (c.type) {
    case ColumnType::Boolean: return Value::boolean(r.chance(50));
    case ColumnType::Byte: return Value::integer(extreme ? (r.chance(50) ? 0 : 255) : std::int64_t(r.below(256)));
    case ColumnType::Integer:
      return Value::integer(extreme ? (r.chance(50) ? -32768 : 32767) : std::int64_t(r.below(65536)) - 32768);
    case ColumnType::Long:
      return Value::integer(extreme ? (r.chance(50) ? INT32_MIN : INT32_MAX)
                                    : static_cast<std::int32_t>(static_cast<std::uint32_t>(r.bits())));
    case ColumnType::Currency:
      return Value::decimal(currencyText(extreme ? (r.chance(50) ? INT64_MIN : INT64_MAX)
                                                 : static_cast<std::int64_t>(r.bits()) >> r.below(64)));
    case ColumnType::Single: {
      const float choices[] = {FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN, 0.0f, 1.0f, -1.5f, 1e-40f};
      float f = 0;
      if (extreme) f = choices[r.below(8)];
      else do { const auto u = static_cast<std::uint32_t>(r.bits()); std::memcpy(&f, &u, 4); } while (!std::isfinite(f));
      return Value::real(f);
    }
    case ColumnType::Double: {
      const double choices[] = {DBL_MAX, -DBL_MAX, DBL_MIN, 5e-324, 0.0, -0.25, 1e300, 123456789.125};
      double d = 0;
      if (extreme) d = choices[r.below(8)];
      else do { const auto u = r.bits(); std::memcpy(&d, &u, 8); } while (!std::isfinite(d));
      return Value::real(d);
    }
    case ColumnType::DateTime: return Value::dateTime(randomDate(r));
    case ColumnType::Binary: return Value::bytes(randomBytes(r, extreme ? c.length : r.below(c.length + 1u)));
    case ColumnType::Text:
      return Value::text(randomText(r, version, extreme ? (r.chance(50) ? 0 : c.length) : r.below(c.length + 1u)));
    case ColumnType::Memo: return Value::text(randomText(r, version, longSize(r, version, 60000)));
    case ColumnType::Ole: return Value::bytes(randomBytes(r, longSize(r, version, 100000)));
    case ColumnType::Guid: return Value::text(guidText(r));
    case ColumnType::Numeric: return Value::decimal(numericText(r, c.precision, c.scale));
    default: break;
  }
  return Value::null();
}

// What our reader gives back for a written value.
Value expectedOf(const NewColumn& c, const Value& written, ModelTable& table) {
  if (c.autoNumber && !written.isNull()) {
    table.nextNumber = written.asInteger() + 1;
    return written;
  }
  if (c.autoNumber) return Value::integer(table.nextNumber++);
  if (c.type == ColumnType::Boolean && written.isNull()) return Value::boolean(false);
  return written;
}

// ---------------------------------------------------------------------------
// The judges.

bool isUser(const TableEntry& t) { return !t.system && t.name.rfind("MSys", 0) != 0; }

// A row as one string, to compare rows without regard to their order.
std::string keyOf(const std::vector<Value>& row) {
  std::string key;
  for (const auto& v : row) key += std::string(kindName(v.kind())) + ":" + v.toDisplayString() + "\x1F";
  return key;
}

// Each table's rows in the order the file gives them.
using FileRows = std::map<std::string, std::vector<std::vector<Value>>>;

// The tables, their columns and their rows as the model has them. A scan
// goes in page order, and a page given back by a dropped table may come
// before the pages a table already had, so the rows are compared as a
// multiset; mdbtools must then show them in our reader's order.
FileRows expectReaderSees(const Database& db, const Model& model, const std::string& when) {
  SCOPED_TRACE("our reader, " + when);
  FileRows seen;
  std::set<std::string> names, want;
  for (const auto& t : db.tables())
    if (isUser(t)) names.insert(t.name);
  for (const auto& t : model) want.insert(t.name);
  EXPECT_EQ(names, want);
  if (names != want) return seen;
  for (const auto& t : model) {
    SCOPED_TRACE(t.name);
    const auto def = db.definition(t.name);
    EXPECT_EQ(def.columns.size(), t.columns.size());
    if (def.columns.size() != t.columns.size()) continue;
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      EXPECT_EQ(def.columns[i].name, t.columns[i].name);
      EXPECT_EQ(def.columns[i].type, t.columns[i].type) << t.columns[i].name;
      if (t.columns[i].type == ColumnType::Text) {
        EXPECT_EQ(def.columns[i].textLength, t.columns[i].length);
      }
      if (t.columns[i].type == ColumnType::Binary) {
        EXPECT_EQ(def.columns[i].length, t.columns[i].length);
      }
      if (t.columns[i].type == ColumnType::Numeric) {
        EXPECT_EQ(def.columns[i].precision, t.columns[i].precision);
        EXPECT_EQ(def.columns[i].scale, t.columns[i].scale);
      }
    }
    EXPECT_EQ(def.rowCount, t.rows.size());
    auto& rows = seen[t.name];
    for (auto cursor = db.openCursor(def); cursor.next();) rows.push_back(cursor.values());
    if (rows == t.rows) continue;
    std::multiset<std::string> got, expected;
    for (const auto& row : rows) got.insert(keyOf(row));
    for (const auto& row : t.rows) expected.insert(keyOf(row));
    if (got == expected) continue;
    // Name the first row either side lacks.
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), got.begin(), got.end(), std::back_inserter(missing));
    std::set_difference(got.begin(), got.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    ADD_FAILURE() << rows.size() << " rows read, " << t.rows.size() << " expected; " << missing.size()
                  << " missing, the first: " << (missing.empty() ? "" : missing[0].substr(0, 300)) << "\n"
                  << extra.size() << " not expected, the first: " << (extra.empty() ? "" : extra[0].substr(0, 300));
  }
  return seen;
}

std::string hex(const std::string& bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char x : bytes) {
    out.push_back(digits[x >> 4]);
    out.push_back(digits[x & 15]);
  }
  return out;
}
std::string hex(const Bytes& b) { return hex(std::string(b.begin(), b.end())); }

constexpr std::size_t kMdbExportTextLimit = 199999;
constexpr const char* kExport = "mdb-export -H -Q -d '|' -R '\\n<end>\\n' -0 '<NULL>' -b hex -T '%Y-%m-%d %H:%M:%S' ";

// A field as mdb-export prints it under kExport.
std::string shownByMdbExport(const NewColumn& c, const Value& v) {
  if (c.type == ColumnType::Boolean) return v.asBoolean() ? "1" : "0";
  if (v.isNull()) return "<NULL>";
  switch (c.type) {
    case ColumnType::Text:
    case ColumnType::Memo: {
      if (v.asText().empty()) return "<NULL>";
      // mdbtools turns each half of a surrogate pair into "?".
      std::string shown;
      for (std::size_t i = 0; i < v.asText().size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(v.asText()[i]);
        if (byte >= 0xF0) {
          shown += "??";
          i += 3;
        } else {
          shown.push_back(static_cast<char>(byte));
        }
      }
      return shown.substr(0, kMdbExportTextLimit);
    }
    case ColumnType::Binary: {
      // mdbtools shows a Binary column like a text: up to its first zero
      // byte, and an empty one as NULL.
      const Bytes& b = v.asBytes();
      const auto zero = std::find(b.begin(), b.end(), std::uint8_t{0});
      return zero == b.begin() ? "<NULL>" : hex(Bytes(b.begin(), zero));
    }
    case ColumnType::Ole: return hex(v.asBytes());
    case ColumnType::Guid: {
      std::string t = v.asText();  // printed as the hex of its text, last groups joined
      return hex(t);
    }
    case ColumnType::DateTime: {
      // mdbtools converts only days 0 to 1,000,000 (1899-12-30 to 4637) and
      // shows a cleared date for the others.
      const DateTime& d = v.asDateTime();
      if (!(d.toOleDate() >= 0 && d.toOleDate() <= 1e6)) return "1900-01-00 00:00:00";
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                    d.second);
      return buffer;
    }
    case ColumnType::Single:
    case ColumnType::Double: {
      // A float's and a double's digits, as mdbtools prints them.
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, c.type == ColumnType::Single ? "%.8g" : "%.16g", v.asDouble());
      return buffer;
    }
    default: return v.toDisplayString();  // integers, and Currency and Numeric exactly as our reader gives them
  }
}

std::vector<std::string> split(const std::string& s, const std::string& by) {
  std::vector<std::string> out;
  for (std::size_t at = 0;;) {
    const std::size_t next = s.find(by, at);
    out.push_back(s.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) return out;
    at = next + by.size();
  }
}

const char* mdbSchemaType(const NewColumn& c, std::string& sized) {
  switch (c.type) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long Integer";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "DateTime";
    case ColumnType::Memo: return "Memo/Hyperlink";
    case ColumnType::Ole: return "OLE (255)";
    case ColumnType::Guid: return "Replication ID";
    case ColumnType::Text: sized = "Text (" + std::to_string(c.length) + ")"; return sized.c_str();
    case ColumnType::Binary: return "Binary";
    case ColumnType::Numeric:
      sized = "Numeric (" + std::to_string(c.precision) + ", " + std::to_string(c.scale) + ")";
      return sized.c_str();
    default: return "?";
  }
}

void expectMdbtoolsSee(const std::string& path, const Model& model, const FileRows& fileRows,
                       const std::set<std::string>& tables, bool schema, const std::string& when) {
  SCOPED_TRACE("mdbtools, " + when);
  const std::string file = shellQuote(path);
  std::set<std::string> listed, want;
  for (const auto& line : split(test::mdbtool("mdb-tables -1 " + file), "\n"))
    if (!line.empty()) listed.insert(line);
  for (const auto& t : model) want.insert(t.name);
  ASSERT_EQ(listed, want);
  for (const auto& t : model) {
    if (!tables.count(t.name) || !fileRows.count(t.name)) continue;
    SCOPED_TRACE(t.name);
    const auto& inFile = fileRows.at(t.name);
    EXPECT_EQ(test::mdbtool("mdb-count " + file + " " + shellQuote(t.name)), std::to_string(t.rows.size()) + "\n");
    if (schema) {
      const std::string shown = test::mdbtool("mdb-schema -T " + shellQuote(t.name) + " " + file);
      for (const auto& c : t.columns) {
        std::string sized;
        const std::string line = "[" + c.name + "]\t\t\t" + mdbSchemaType(c, sized);
        EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
      }
    }
    const std::string exported = test::mdbtool(kExport + file + " " + shellQuote(t.name));
    auto rows = split(exported, "\n<end>\n");
    ASSERT_EQ(rows.back(), "");
    rows.pop_back();
    ASSERT_EQ(rows.size(), t.rows.size());
    for (std::size_t n = 0; n < rows.size(); ++n) {
      const auto fields = split(rows[n], "|");
      ASSERT_EQ(fields.size(), t.columns.size()) << "row " << n << ": " << rows[n].substr(0, 300);
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const NewColumn& c = t.columns[i];
        const Value& v = inFile[n][i];
        const std::string want = shownByMdbExport(c, v);
        EXPECT_TRUE(fields[i] == want) << "row " << n << ", column " << c.name << ": " << fields[i].substr(0, 80)
                                       << " (" << fields[i].size() << " bytes) vs " << want.substr(0, 80) << " ("
                                       << want.size() << " bytes)";
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The workload.

class RandomWorkload : public ::testing::TestWithParam<Case> {};

TEST_P(RandomWorkload, FileMatchesTheModelForOurReaderAndMdbtools) {
  const Case& c = GetParam();
  const bool judge = test::mdbtoolsMissing().empty();
  const std::string path =
      test::joinPath(test::scratchDir(), std::string("random_") + c.file + "_" + std::to_string(c.seed) + ".mdb");
  platform::removeFile(path + ".fjournal");
  platform::removeFile(path + ".findex");
  platform::writeWholeFile(path, test::readFileBytes(test::sourcePath(std::string("resources/") + c.file)));

  Random r(c.seed + seedOffset());
  // What the run did, printed at its end: a green run that did little says so.
  struct {
    int created = 0, dropped = 0, refused = 0, committed = 0, rolledBack = 0, abandoned = 0, reopened = 0;
    std::size_t rows = 0, longBytes = 0;
  } done;
  Model model;
  std::optional<Database> db(Database::open(path, OpenMode::ReadWrite));
  const int operations = operationsPerSeed();
  for (int op = 0; op < operations && !::testing::Test::HasFailure(); ++op) {
    const std::string step = "operation " + std::to_string(op);
    if (r.chance(12)) {
      db.reset();
      db.emplace(Database::open(path, OpenMode::ReadWrite));
      ++done.reopened;
      expectReaderSees(*db, model, step + " (reopened)");
      continue;
    }
    // One transaction of a few steps, committed or rolled back.
    const Model before = model;
    std::set<std::string> touched;
    db->beginTransaction();
    const std::size_t steps = 1 + r.below(4);
    for (std::size_t s = 0; s < steps; ++s) {
      const std::size_t what = r.below(100);
      if (model.empty() || what < 20) {
        const std::string name = tableName(r, c.version);
        if (find(model, name)) {
          // Names are compared ignoring case: the same name in capitals is refused.
          std::string shouted = name;
          for (char& ch : shouted)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
          EXPECT_THROW(db->createTable(shouted, randomColumns(r, c.version)), Error) << shouted;
          ++done.refused;
          continue;
        }
        ModelTable t{name, randomColumns(r, c.version), {}};
        db->createTable(name, t.columns);
        ++done.created;
        model.push_back(std::move(t));
        touched.insert(name);
      } else if (what < 28 && !model.empty()) {
        const std::size_t at = r.below(model.size());
        db->dropTable(model[at].name);
        ++done.dropped;
        touched.erase(model[at].name);
        model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
      } else if (what < 33) {
        // A refused row changes nothing: text one character too long.
        ModelTable& t = model[r.below(model.size())];
        std::vector<Value> row;
        bool refused = false;
        for (const auto& col : t.columns) {
          if (!refused && col.type == ColumnType::Text) {
            row.push_back(Value::text(std::string(col.length + 1u, 'q')));
            refused = true;
          } else {
            row.push_back(col.type == ColumnType::Text ? Value::null() : randomValue(r, c.version, col));
          }
        }
        if (refused) {
          try {
            ++done.refused;
            db->appendRow(t.name, row);
            ADD_FAILURE() << "a text too long for its column was taken in " << t.name;
          } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("is longer than"), std::string::npos) << e.what();
          }
        }
      } else {
        ModelTable& t = model[r.below(model.size())];
        const std::size_t count = r.chance(10) ? 200 + r.below(400) : 1 + r.below(12);
        for (std::size_t n = 0; n < count; ++n) {
          std::vector<Value> row, expected;
          for (const auto& col : t.columns) row.push_back(randomValue(r, c.version, col));
          // Now and then a number given for the autonumber, past the last one.
          if (t.columns[0].autoNumber && r.chance(5)) row[0] = Value::integer(t.nextNumber + std::int64_t(r.below(1000)));
          db->appendRow(t.name, row);
          ++done.rows;
          for (const auto& v : row) {
            if (v.kind() == Value::Kind::Bytes) done.longBytes += v.asBytes().size();
            if (v.kind() == Value::Kind::Text) done.longBytes += v.asText().size();
          }
          for (std::size_t i = 0; i < row.size(); ++i) expected.push_back(expectedOf(t.columns[i], row[i], t));
          t.rows.push_back(std::move(expected));
        }
        touched.insert(t.name);
      }
    }
    if (r.chance(8)) {
      // Closed with the transaction open: nothing of it reaches the file.
      db.reset();
      model = before;
      db.emplace(Database::open(path, OpenMode::ReadWrite));
      ++done.abandoned;
      expectReaderSees(*db, model, step + " (closed without committing)");
    } else if (r.chance(30)) {
      if (r.chance(30)) expectReaderSees(*db, model, step + " (inside the transaction)");
      db->rollback();
      ++done.rolledBack;
      model = before;
      if (r.chance(30)) expectReaderSees(*db, model, step + " (rolled back)");
    } else {
      db->commit();
      ++done.committed;
      // What reached the file, through a handle of its own; now and then
      // the writer's view too.
      const FileRows rows = expectReaderSees(Database::open(path, OpenMode::ReadOnly), model, step + " (committed)");
      if (r.chance(30)) expectReaderSees(*db, model, step + " (committed, the writer's view)");
      if (judge) expectMdbtoolsSee(path, model, rows, touched, false, step + " (committed)");
    }
  }
  db.reset();
  if (const char* keep = std::getenv("FENNICK_RANDOM_KEEP"))
    platform::writeWholeFile(test::joinPath(keep, std::string("random_") + c.file + "_" + std::to_string(c.seed) + ".mdb"),
                             test::readFileBytes(path));
  std::cout << done.created << " tables created, " << done.dropped << " dropped; " << done.rows << " rows ("
            << done.longBytes << " bytes of text and binary), " << done.refused << " refused; " << done.committed
            << " commits, " << done.rolledBack << " rollbacks, " << done.abandoned << " closed uncommitted, "
            << done.reopened << " reopenings; " << model.size() << " tables at the end\n";
  std::set<std::string> all;
  for (const auto& t : model) all.insert(t.name);
  const FileRows rows = expectReaderSees(Database::open(path, OpenMode::ReadOnly), model, "at the end");
  if (judge) expectMdbtoolsSee(path, model, rows, all, true, "at the end");
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWorkload, ::testing::ValuesIn(kCases), [](const auto& info) {
  return std::string(info.param.file) + "_seed" + std::to_string(info.param.seed);
});

}  // namespace
}  // namespace fennick::jet
