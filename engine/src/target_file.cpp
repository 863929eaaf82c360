// The target file and the two table probes: create from a template, does a
// table exist, drop a table.
#include <stdexcept>

#include "engine/target.h"
#include "engine/tcc.h"
#include "platform/file.h"
#include "resources/resources.h"

namespace fennick {

void Tcc::createaccessfile(const std::string& path, int accessFormat) {
  if (platform::isRegularFile(path)) return;
  saveresourcetofile(accessFormat == 1 ? "mdb2000" : "mdb95", "mdbfile", path);
}

void Tcc::saveresourcetofile(const std::string& name, const std::string& type,
                             const std::string& path) {
  const auto bytes = findResource(name, type);
  if (!bytes) throw std::runtime_error("Resource " + name + " not found");
  platform::writeWholeFile(path, *bytes);
}

bool Tcc::tableexists(TargetRowset& rowset, const std::string& table) const {
  rowset.close();
  rowset.setText("Select 1 from [" + table + "] where 1=0");
  try {
    rowset.open();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool Tcc::droptable(TargetCommand& command, const std::string& table,
                    std::string& errorText) const {
  command.setText("drop table [" + table + "]");
  try {
    command.execute();
    return true;
  } catch (const std::exception& e) {
    errorText = e.what();
    return false;
  }
}

}  // namespace fennick
