// TargetConnection and its command and rowset over a TargetDatabase.
#include "engine/target.h"

#include <stdexcept>

namespace fennick {

std::string targetConnectionString(const std::string& path) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

TargetConnection::TargetConnection(TargetOpener opener) : opener_(std::move(opener)) {}
TargetConnection::~TargetConnection() { close(); }

void TargetConnection::open(const std::string& path) {
  close();
  connectionString_ = targetConnectionString(path);
  database_ = opener_(path);
}

void TargetConnection::close() {
  accdataset_.close();
  database_.reset();
}

TargetDatabase& TargetConnection::database() {
  if (!database_) throw std::runtime_error("The target database is not open");
  return *database_;
}

void TargetConnection::begin() { database().beginTransaction(); }
void TargetConnection::commit() { database().commitTransaction(); }
void TargetConnection::finishWrites() { database().finishWrites(); }

void TargetCommand::execute() { connection_.database().execute(text_); }

void TargetRowset::open() {
  cursor_.reset();
  cursor_ = connection_.database().openCursor(text_);
}

TargetCursor& TargetRowset::cursor() const {
  if (!cursor_) throw std::runtime_error("The rowset is not open");
  return *cursor_;
}

std::size_t TargetRowset::fieldCount() const { return cursor().fieldCount(); }
const std::string& TargetRowset::fieldName(std::size_t i) const { return cursor().fieldName(i); }
void TargetRowset::append() { cursor().append(); }
void TargetRowset::setField(std::string_view name, const Value& value) {
  cursor().setField(name, value);
}
void TargetRowset::post() { cursor().post(); }

}  // namespace fennick
