// SourceConnection: the parameter list of an open and the choice of driver
// from the service name. Relies on the drivers' factories (sqlite.h,
// oracle.h) and on connectionParams (source_dataset.cpp).
#include <stdexcept>
#include <string_view>

#include "sources/oracle.h"
#include "sources/source.h"
#include "sources/sqlite.h"

namespace fennick {

namespace {
constexpr std::string_view kSqlitePrefix = "sqlite:";
}

void SourceConnection::open(const std::string& service, const std::string& user,
                            const std::string& password) {
  close();
  params_ = connectionParams(service, user, password);
  if (service.starts_with(kSqlitePrefix))
    driver_ = openSqliteDriver(service.substr(kSqlitePrefix.size()));
  else
    driver_ = openOracleDriver(params_);
}

void SourceConnection::close() { driver_.reset(); }

std::unique_ptr<SourceDataset> SourceConnection::query(const std::string& sql) {
  if (!driver_) throw std::runtime_error("The source connection is not open");
  return driver_->query(sql);
}

}  // namespace fennick
