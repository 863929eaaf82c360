// SourceConnection: the parameter list and the driver behind it.
#include <stdexcept>

#include "sources/source.h"

namespace fennick {

void SourceConnection::open(const std::string& service, const std::string& user,
                            const std::string& password) {
  close();
  params_ = connectionParams(service, user, password);
  throw std::runtime_error("No source driver is built in yet for \"" + service + "\"");
}

void SourceConnection::close() {
  driver_.reset();
  params_.clear();
}

std::unique_ptr<SourceDataset> SourceConnection::query(const std::string& sql) {
  if (!driver_) throw std::runtime_error("The source connection is not open");
  return driver_->query(sql);
}

}  // namespace fennick
