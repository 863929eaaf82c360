// The Oracle source driver: the connection's parameter lines turned into a
// logged-on session, and queries turned into datasets.
#include <charconv>

#include "oracle_dataset.h"
#include "oracle_session.h"
#include "sources/oracle.h"

namespace fennick {

namespace {

class OracleDriver final : public SourceDriver {
 public:
  OracleDriver(std::shared_ptr<OracleSession> session, OracleReadOptions options)
      : session_(std::move(session)), options_(options) {}

  std::unique_ptr<SourceDataset> query(const std::string& sql) override {
    return std::make_unique<OracleDataset>(session_, sql, options_);
  }

 private:
  std::shared_ptr<OracleSession> session_;
  OracleReadOptions options_;
};

OracleReadOptions readOptions(const std::vector<std::string>& params) {
  OracleReadOptions options;
  std::string rowset = paramValue(params, "RowsetSize");
  unsigned rows = 0;
  auto [end, ec] = std::from_chars(rowset.data(), rowset.data() + rowset.size(), rows);
  if (ec == std::errc() && end == rowset.data() + rowset.size() && rows > 0) options.rowsPerRound = rows;
  options.trimCharBlanks = paramValue(params, "Trim Char") == "True";
  return options;
}

}  // namespace

std::unique_ptr<SourceDriver> openOracleDriver(const std::vector<std::string>& params) {
  auto session = std::make_shared<OracleSession>(OracleClient::load(), paramValue(params, "Database"),
                                                 paramValue(params, "User_Name"), paramValue(params, "Password"));
  return std::make_unique<OracleDriver>(std::move(session), readOptions(params));
}

}  // namespace fennick
