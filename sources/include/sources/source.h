// The source side of a conversion: a read-only connection to the schema
// being converted and the forward-only datasets its queries produce.
//
// SourceConnection is what the wizard and the engine hold (`oracleconn`);
// it picks a driver from the service name: "sqlite:" followed by a file path
// selects the embedded SQLite source, anything else is an Oracle service
// reached through the Oracle client library.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/value.h"

namespace fennick {

// One query's rows, read first to last. Positioned on the first row (or at
// end-of-data) when returned by SourceDriver::query.
class SourceDataset {
 public:
  virtual ~SourceDataset() = default;

  virtual bool eof() const = 0;  // end-of-data: no current row
  virtual void next() = 0;       // moves to the following row (or end-of-data)

  // The open dataset's fields in column order.
  virtual std::size_t fieldCount() const = 0;
  virtual const std::string& fieldName(std::size_t index) const = 0;
  // Whether the field is of the binary-large-object kind (BLOB, RAW, LONG
  // RAW); its value is then Value::Kind::Bytes or NULL.
  virtual bool isBlob(std::size_t index) const = 0;
  // The current row's value; NULL reads as a null Value, numbers as
  // Integer, Double or (digits a double cannot hold) Decimal, dates as
  // DateTime, text as UTF-8.
  virtual const Value& value(std::size_t index) const = 0;

  // Field lookup by name without regard to case; throws
  // "Field '<name>' not found".
  std::size_t fieldIndex(std::string_view name) const;
  const Value& field(std::string_view name) const { return value(fieldIndex(name)); }
};

// A connected source database.
class SourceDriver {
 public:
  virtual ~SourceDriver() = default;
  // Runs a query text unchanged; errors are thrown with the driver's message.
  virtual std::unique_ptr<SourceDataset> query(const std::string& sql) = 0;
};

// The connection the wizard opens on page 3 (`oracleconn`).
class SourceConnection {
 public:
  // Closes, clears the parameter list and sets its twelve lines for the
  // given service, user and password, then connects. Driver errors pass out
  // with the driver's message.
  void open(const std::string& service, const std::string& user, const std::string& password);
  void close();
  bool isOpen() const { return driver_ != nullptr; }
  // Uses a driver that is already connected (tests, other embedded sources).
  void attach(std::unique_ptr<SourceDriver> driver) {
    params_.clear();
    driver_ = std::move(driver);
  }

  // The parameter list of the last open, in order ("Database=...", ...).
  const std::vector<std::string>& params() const { return params_; }

  // Runs a query on the open connection; throws when it is not open.
  std::unique_ptr<SourceDataset> query(const std::string& sql);

 private:
  std::vector<std::string> params_;
  std::unique_ptr<SourceDriver> driver_;
};

// The twelve parameter lines for a service, user and password.
std::vector<std::string> connectionParams(const std::string& service, const std::string& user,
                                          const std::string& password);

// The value of "Name=" in a parameter list, or empty.
std::string paramValue(const std::vector<std::string>& params, std::string_view name);

}  // namespace fennick
