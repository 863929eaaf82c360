// Stand-ins for a source and a target database, for tests of the
// conversion's own logic: exact statements, commit points, log lines.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/utf.h"
#include "engine/target.h"
#include "sources/source.h"

namespace fennick::test {

struct FakeResult {
  std::vector<std::string> fields;
  std::vector<bool> blob;                 // per field; empty = none
  std::vector<std::vector<Value>> rows;   // or generated:
  long long generatedRows = 0;            // rows made by `generate`
  std::function<std::vector<Value>(long long)> generate;
};

class FakeDataset : public SourceDataset {
 public:
  explicit FakeDataset(const FakeResult& r) : r_(r) { load(); }
  bool eof() const override { return at_ >= total(); }
  void next() override {
    ++at_;
    load();
  }
  std::size_t fieldCount() const override { return r_.fields.size(); }
  const std::string& fieldName(std::size_t i) const override { return r_.fields[i]; }
  bool isBlob(std::size_t i) const override { return i < r_.blob.size() && r_.blob[i]; }
  const Value& value(std::size_t i) const override { return current_.at(i); }

 private:
  long long total() const {
    return r_.generate ? r_.generatedRows : static_cast<long long>(r_.rows.size());
  }
  void load() {
    if (eof()) return;
    current_ = r_.generate ? r_.generate(at_) : r_.rows[static_cast<std::size_t>(at_)];
  }
  const FakeResult& r_;
  long long at_ = 0;
  std::vector<Value> current_;
};

// Answers exact query texts; anything else fails like a refused query.
class FakeSource : public SourceDriver {
 public:
  std::map<std::string, FakeResult> results;
  std::vector<std::string> queries;
  std::unique_ptr<SourceDataset> query(const std::string& sql) override {
    queries.push_back(sql);
    auto it = results.find(sql);
    if (it == results.end()) throw std::runtime_error("ORA-00942: table or view does not exist");
    return std::make_unique<FakeDataset>(it->second);
  }
};

struct FakeTable {
  std::vector<std::string> columns;
  std::vector<std::map<std::string, Value>> rows;  // committed or pending
};

// Understands the statement forms the conversion sends, just enough to
// track tables, rows and commits.
class FakeTarget : public TargetDatabase {
 public:
  std::map<std::string, FakeTable> tables;  // by upper-cased name
  std::vector<std::string> statements;
  long long commits = 0, begins = 0;
  long long failPostAtRow = -1;  // the nth post overall is refused
  long long posts = 0;
  std::set<std::string> refusedColumns;  // setField on these throws
  std::string refuseStatementsWith;      // execute refuses statements containing it

  static std::string key(const std::string& name) { return asciiUpper(name); }

  void execute(const std::string& sql) override {
    statements.push_back(sql);
    if (!refuseStatementsWith.empty() && sql.find(refuseStatementsWith) != std::string::npos)
      throw std::runtime_error("refused");
    std::smatch m;
    if (std::regex_match(sql, m, std::regex(R"(drop table \[(.*)\])"))) {
      if (!tables.erase(key(m[1]))) throw std::runtime_error("Table '" + m[1].str() + "' does not exist.");
      return;
    }
    if (std::regex_search(sql, m, std::regex(R"(^Create table \[([^\]]*)\] \()"))) {
      if (tables.count(key(m[1]))) throw std::runtime_error("Table '" + m[1].str() + "' already exists.");
      FakeTable t;
      std::regex column(R"(\r\n\[([^\]]*)\]( [A-Za-z]+(\(\d+\))?)?( , )?)");
      for (auto it = std::sregex_iterator(sql.begin(), sql.end(), column);
           it != std::sregex_iterator(); ++it) {
        if ((*it)[2].length() == 0) throw std::runtime_error("Syntax error in field definition.");
        t.columns.push_back((*it)[1]);
      }
      if (t.columns.empty()) throw std::runtime_error("Syntax error in CREATE TABLE statement.");
      tables[key(m[1])] = t;
      return;
    }
    if (sql.rfind("create ", 0) == 0) return;  // indexes: recorded only
    throw std::runtime_error("not supported: " + sql);
  }

  class Cursor : public TargetCursor {
   public:
    Cursor(FakeTarget& db, FakeTable& t) : db_(db), t_(t) {}
    std::size_t fieldCount() const override { return t_.columns.size(); }
    const std::string& fieldName(std::size_t i) const override { return t_.columns[i]; }
    void append() override { row_.clear(); }
    void setField(std::string_view name, const Value& v) override {
      for (const auto& c : t_.columns)
        if (equalsIgnoreAsciiCase(c, name)) {
          if (db_.refusedColumns.count(c)) throw std::runtime_error("Data type mismatch");
          row_[c] = v;
          return;
        }
      throw std::runtime_error("Item cannot be found");
    }
    void post() override {
      if (++db_.posts == db_.failPostAtRow) throw std::runtime_error("The changes you requested were not successful because they would create duplicate values.");
      t_.rows.push_back(row_);
    }

   private:
    FakeTarget& db_;
    FakeTable& t_;
    std::map<std::string, Value> row_;
  };

  std::unique_ptr<TargetCursor> openCursor(const std::string& sql) override {
    statements.push_back(sql);
    std::smatch m;
    if (!std::regex_match(sql, m, std::regex(R"((?:Select 1|select \*) from \[(.*)\] where 1=0)")))
      throw std::runtime_error("Syntax error in FROM clause.");
    auto it = tables.find(key(m[1]));
    if (it == tables.end()) throw std::runtime_error("The database engine cannot find the input table or query '" + m[1].str() + "'.");
    return std::make_unique<Cursor>(*this, it->second);
  }
  void beginTransaction() override { ++begins; }
  void commitTransaction() override { ++commits; }
};

}  // namespace fennick::test
