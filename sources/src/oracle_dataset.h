// One Oracle query's rows, fetched in rounds of a fixed number of rows
// (array fetch, with as many rows prefetched) and read forward one at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "oracle_session.h"
#include "sources/source.h"

namespace fennick {

struct OracleReadOptions {
  unsigned rowsPerRound = 20;  // RowsetSize
  bool trimCharBlanks = false;  // Trim Char: CHAR values lose their trailing blanks
};

class OracleDataset final : public SourceDataset {
 public:
  // Prepares, runs and describes the query, then fetches the first round.
  // Throws with Oracle's message, or naming a field of a type we cannot read.
  OracleDataset(std::shared_ptr<OracleSession> session, const std::string& sql,
                const OracleReadOptions& options);
  ~OracleDataset() override;

  bool eof() const override { return eof_; }
  void next() override;
  std::size_t fieldCount() const override { return columns_.size(); }
  const std::string& fieldName(std::size_t index) const override;
  bool isBlob(std::size_t index) const override;
  const Value& value(std::size_t index) const override;

  struct Column;

 private:
  void describeAndDefine();
  void fetchRound();
  void loadRow();
  Value readValue(Column& column, std::size_t row);
  [[noreturn]] void failOnField(const Column& column, const std::string& what) const;

  // Released before the columns' descriptors go, and also when the
  // constructor fails half-way.
  struct Statement {
    const OracleSession* session = nullptr;
    OCIStmt* handle = nullptr;
    ~Statement();
  };

  std::shared_ptr<OracleSession> session_;
  std::string sql_;
  OracleReadOptions options_;
  std::vector<std::unique_ptr<Column>> columns_;
  Statement statement_;
  std::vector<Value> row_;
  std::size_t roundRows_ = 0;   // rows the last round delivered
  std::size_t rowInRound_ = 0;  // the current row's place in them
  std::size_t rowNumber_ = 0;   // 1-based, for messages
  ub4 rowsFetched_ = 0;         // the statement's running count
  bool lastRound_ = false;
  bool eof_ = false;
};

}  // namespace fennick
