// Describing a query's columns, defining an output place for each, fetching
// rounds of rows and turning each field into a Value.
//
// Scalars land in arrays with one slot per row of a round. NUMBER and DATE
// arrive in Oracle's own byte forms (oracle_values.h); TIMESTAMPs in OCI
// datetime descriptors. LONG, LONG RAW, CLOB, NCLOB and BLOB are read whole
// through OCI's data interface: the column is defined as LONG or LONG RAW
// with dynamic fetch, and OCI asks a callback for room piece by piece.
#include "oracle_dataset.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "oracle_values.h"

namespace fennick {

namespace {

enum class Reading { Number, Double, Date, Timestamp, Text, Raw, LongText, LongBinary };

// Largest buffer a plain define can describe (its lengths are 16-bit).
constexpr ub4 kMaxDefineWidth = 65535;
// A large value beyond this is refused rather than exhausting memory; no
// Access field holds more.
constexpr std::size_t kMaxLongValue = std::size_t{1} << 30;
constexpr std::size_t kFirstPiece = 64 * 1024;
constexpr std::size_t kLargestPiece = 4 * 1024 * 1024;

std::string quoted(const std::string& sql) {
  constexpr std::size_t kShown = 200;
  return "\"" + (sql.size() > kShown ? sql.substr(0, kShown) + "..." : sql) + "\"";
}

}  // namespace

struct OracleDataset::Column {
  const OracleClient* oci = nullptr;
  std::string name;
  ub2 oracleType = 0;
  Reading reading = Reading::Text;
  bool isChar = false;
  ub4 width = 0;  // bytes per row slot
  std::vector<std::uint8_t> buffer;
  std::vector<sb2> indicators;
  std::vector<ub2> lengths;
  std::vector<ub2> codes;
  ub4 descriptorType = 0;
  std::vector<OCIDateTime*> stamps;

  // A large value being read in pieces: `used` bytes are final, the piece
  // handed out last starts there and OCI reports its length in `pieceLength`.
  struct LongValue {
    std::vector<std::uint8_t> data;
    std::size_t used = 0;
    ub4 pieceLength = 0;
    bool pending = false;
    void settle() {
      if (pending) used = std::min(data.size(), used + pieceLength);
      pending = false;
    }
  };
  std::vector<LongValue> longs;
  bool tooLarge = false;

  ~Column() {
    for (OCIDateTime* stamp : stamps)
      if (stamp) oci->OCIDescriptorFree(stamp, descriptorType);
  }

  bool isLong() const { return reading == Reading::LongText || reading == Reading::LongBinary; }
};

namespace {

sb4 handOutPiece(void* context, OCIDefine*, ub4 iter, void** buffer, ub4** length, ub1* piece,
                 void** indicator, ub2** returnCode) {
  auto& column = *static_cast<OracleDataset::Column*>(context);
  if (iter >= column.longs.size()) return oci::kError;
  auto& value = column.longs[iter];
  value.settle();
  if (*piece == oci::kFirstPiece || *piece == oci::kOnePiece) {
    value.data.clear();
    value.used = 0;
  }
  std::size_t room = std::clamp(value.used, kFirstPiece, kLargestPiece);
  if (value.used + room > kMaxLongValue) {
    column.tooLarge = true;
    return oci::kError;
  }
  value.data.resize(value.used + room);
  value.pieceLength = static_cast<ub4>(room);
  value.pending = true;
  *buffer = value.data.data() + value.used;
  *length = &value.pieceLength;
  *indicator = &column.indicators[iter];
  *returnCode = &column.codes[iter];
  return oci::kContinue;
}

}  // namespace

OracleDataset::OracleDataset(std::shared_ptr<OracleSession> session, const std::string& sql,
                             const OracleReadOptions& options)
    : session_(std::move(session)), sql_(sql), options_(options) {
  options_.rowsPerRound = std::clamp(options_.rowsPerRound, 1u, 500u);
  const OracleClient& oci = session_->client();
  OCIError* error = session_->error();
  statement_.session = session_.get();
  oci.check(oci.OCIStmtPrepare2(session_->service(), &statement_.handle, error,
                                reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                                nullptr, 0, oci::kNativeSyntax, oci::kDefault),
            error, "Oracle could not prepare the query " + quoted(sql));
  ub2 statementType = 0;
  oci.check(oci.OCIAttrGet(statement_.handle, oci::kHandleStmt, &statementType, nullptr, oci::kAttrStmtType, error),
            error, "Oracle could not describe the query " + quoted(sql));
  ub4 prefetch = options_.rowsPerRound;
  oci.check(oci.OCIAttrSet(statement_.handle, oci::kHandleStmt, &prefetch, 0, oci::kAttrPrefetchRows, error), error,
            "Oracle could not set the prefetch for the query " + quoted(sql));
  bool isQuery = statementType == oci::kStmtSelect;
  oci.check(oci.OCIStmtExecute(session_->service(), statement_.handle, error, isQuery ? 0 : 1, 0, nullptr, nullptr,
                               oci::kDefault),
            error, "Oracle could not run the query " + quoted(sql));
  if (!isQuery) {
    eof_ = true;
    return;
  }
  describeAndDefine();
  row_.resize(columns_.size());
  loadRow();
}

OracleDataset::~OracleDataset() = default;

OracleDataset::Statement::~Statement() {
  if (handle) session->client().OCIStmtRelease(handle, session->error(), nullptr, 0, oci::kDefault);
}

void OracleDataset::describeAndDefine() {
  const OracleClient& oci = session_->client();
  OCIError* error = session_->error();
  const std::string doing = "Oracle could not describe the columns of the query " + quoted(sql_);
  ub4 count = 0;
  oci.check(oci.OCIAttrGet(statement_.handle, oci::kHandleStmt, &count, nullptr, oci::kAttrParamCount, error), error,
            doing);
  const std::size_t rows = options_.rowsPerRound;
  for (ub4 position = 1; position <= count; ++position) {
    auto column = std::make_unique<Column>();
    column->oci = &oci;
    void* param = nullptr;
    oci.check(oci.OCIParamGet(statement_.handle, oci::kHandleStmt, error, &param, position), error, doing);
    ub2 dataSize = 0;
    OraText* name = nullptr;
    ub4 nameLength = 0;
    sword status = oci.OCIAttrGet(param, oci::kDescriptorParam, &column->oracleType, nullptr, oci::kAttrDataType, error);
    if (status == oci::kSuccess)
      status = oci.OCIAttrGet(param, oci::kDescriptorParam, &dataSize, nullptr, oci::kAttrDataSize, error);
    if (status == oci::kSuccess)
      status = oci.OCIAttrGet(param, oci::kDescriptorParam, &name, &nameLength, oci::kAttrName, error);
    if (status == oci::kSuccess && name) column->name.assign(reinterpret_cast<const char*>(name), nameLength);
    oci.OCIDescriptorFree(param, oci::kDescriptorParam);
    oci.check(status, error, doing);

    Column& c = *column;
    ub2 defineType = oci::type::kVarchar2;
    switch (c.oracleType) {
      case oci::type::kNumber:
        c.reading = Reading::Number, defineType = oci::type::kNumber, c.width = 22;
        break;
      case oci::type::kBinaryFloatColumn:
      case oci::type::kBinaryDoubleColumn:
        c.reading = Reading::Double, defineType = oci::type::kBinaryDouble, c.width = sizeof(double);
        break;
      case oci::type::kDate:
        c.reading = Reading::Date, defineType = oci::type::kDate, c.width = 7;
        break;
      case oci::type::kTimestamp:
      case oci::type::kTimestampTz:
      case oci::type::kTimestampLtz:
        c.reading = Reading::Timestamp, defineType = c.oracleType, c.width = sizeof(OCIDateTime*);
        c.descriptorType = c.oracleType == oci::type::kTimestamp     ? oci::kDescriptorTimestamp
                           : c.oracleType == oci::type::kTimestampTz ? oci::kDescriptorTimestampTz
                                                                     : oci::kDescriptorTimestampLtz;
        break;
      case oci::type::kRaw:
        c.reading = Reading::Raw, defineType = oci::type::kRaw, c.width = std::max<ub4>(dataSize, 1);
        break;
      case oci::type::kLong:
      case oci::type::kClob:
        c.reading = Reading::LongText, defineType = oci::type::kLong;
        break;
      case oci::type::kLongRaw:
      case oci::type::kBlob:
        c.reading = Reading::LongBinary, defineType = oci::type::kLongRaw;
        break;
      case oci::type::kObject:
      case oci::type::kRef:
      case oci::type::kBfile:
      case oci::type::kCursor:
        failOnField(c, "has an Oracle data type (code " + std::to_string(c.oracleType) +
                           ") that cannot be copied; leave it out of the query or convert it to text");
      default:
        // Character types, ROWID, intervals and the like: as text. A
        // character may grow to four bytes in UTF-8.
        c.reading = Reading::Text, defineType = oci::type::kVarchar2;
        c.isChar = c.oracleType == oci::type::kChar;
        c.width = std::min<ub4>(kMaxDefineWidth, std::max<ub4>(ub4{dataSize} * 4, 128));
        break;
    }

    c.indicators.assign(rows, -1);
    c.codes.assign(rows, 0);
    OCIDefine* define = nullptr;
    if (c.isLong()) {
      c.longs.resize(rows);
      oci.check(oci.OCIDefineByPos(statement_.handle, &define, error, position, nullptr,
                                   static_cast<sb4>(kMaxLongValue), defineType, nullptr, nullptr, nullptr,
                                   oci::kDynamicFetch),
                error, doing);
      oci.check(oci.OCIDefineDynamic(define, error, &c, handOutPiece), error, doing);
    } else if (c.reading == Reading::Timestamp) {
      c.stamps.assign(rows, nullptr);
      for (auto& stamp : c.stamps) {
        void* descriptor = nullptr;
        oci.check(oci.OCIDescriptorAlloc(session_->env(), &descriptor, c.descriptorType, 0, nullptr), error,
                  doing);
        stamp = static_cast<OCIDateTime*>(descriptor);
      }
      oci.check(oci.OCIDefineByPos(statement_.handle, &define, error, position, c.stamps.data(),
                                   static_cast<sb4>(sizeof(OCIDateTime*)), defineType, c.indicators.data(),
                                   nullptr, c.codes.data(), oci::kDefault),
                error, doing);
    } else {
      c.buffer.assign(rows * c.width, 0);
      c.lengths.assign(rows, 0);
      oci.check(oci.OCIDefineByPos(statement_.handle, &define, error, position, c.buffer.data(),
                                   static_cast<sb4>(c.width), defineType, c.indicators.data(), c.lengths.data(),
                                   c.codes.data(), oci::kDefault),
                error, doing);
    }
    columns_.push_back(std::move(column));
  }
}

void OracleDataset::fetchRound() {
  const OracleClient& oci = session_->client();
  OCIError* error = session_->error();
  for (auto& column : columns_) {
    if (!column->isLong()) continue;
    std::fill(column->indicators.begin(), column->indicators.end(), sb2{-1});
    for (auto& value : column->longs) value = {};
  }
  sword status = oci.OCIStmtFetch2(statement_.handle, error, options_.rowsPerRound, oci::kFetchNext, 0, oci::kDefault);
  for (auto& column : columns_) {
    if (column->tooLarge) failOnField(*column, "holds a value larger than 1 GB");
    for (auto& value : column->longs) value.settle();
  }
  if (status == oci::kNoData)
    lastRound_ = true;
  else
    oci.check(status, error, "Oracle could not fetch the rows of the query " + quoted(sql_));
  ub4 total = 0;
  oci.check(oci.OCIAttrGet(statement_.handle, oci::kHandleStmt, &total, nullptr, oci::kAttrRowCount, error), error,
            "Oracle could not count the rows fetched by the query " + quoted(sql_));
  roundRows_ = total > rowsFetched_ ? std::min<std::size_t>(total - rowsFetched_, options_.rowsPerRound) : 0;
  rowsFetched_ = total;
  // A round that brings nothing ends the data even without OCI_NO_DATA.
  if (roundRows_ == 0) lastRound_ = true;
  rowInRound_ = 0;
}

void OracleDataset::loadRow() {
  while (rowInRound_ >= roundRows_) {
    if (lastRound_) {
      eof_ = true;
      std::fill(row_.begin(), row_.end(), Value());
      return;
    }
    fetchRound();
  }
  ++rowNumber_;
  for (std::size_t i = 0; i < columns_.size(); ++i) row_[i] = readValue(*columns_[i], rowInRound_);
}

void OracleDataset::next() {
  if (eof_) return;
  ++rowInRound_;
  loadRow();
}

Value OracleDataset::readValue(Column& c, std::size_t row) {
  if (c.indicators[row] == -1) return Value();
  ub2 code = c.codes[row];
  if (code == oci::kColumnTruncated) failOnField(c, "holds a value longer than its buffer");
  if (code != 0 && code != oci::kColumnNullFetched)
    failOnField(c, "could not be read (ORA-" + std::to_string(code) + ")");
  const OracleClient& oci = session_->client();
  if (c.isLong()) {
    auto& value = c.longs[row];
    value.data.resize(value.used);
    if (c.reading == Reading::LongBinary) return Value::bytes(std::move(value.data));
    return Value::text(std::string(value.data.begin(), value.data.end()));
  }
  if (c.reading == Reading::Timestamp) {
    sb2 year = 0;
    ub1 month = 0, day = 0, hour = 0, minute = 0, second = 0;
    ub4 fraction = 0;
    sword status = oci.OCIDateTimeGetDate(session_->env(), session_->error(), c.stamps[row], &year, &month, &day);
    if (status == oci::kSuccess)
      status = oci.OCIDateTimeGetTime(session_->env(), session_->error(), c.stamps[row], &hour, &minute, &second,
                                      &fraction);
    if (status != oci::kSuccess)
      failOnField(c, "holds a timestamp Oracle could not take apart: " +
                         oci.errorMessage(session_->error(), oci::kHandleError));
    DateTime t{year, month, day, hour, minute, second, static_cast<int>(fraction)};
    if (!t.isValid()) failOnField(c, "holds an invalid timestamp");
    return Value::dateTime(t);
  }
  std::size_t length = std::min<std::size_t>(c.lengths[row], c.width);
  const std::uint8_t* bytes = c.buffer.data() + row * c.width;
  switch (c.reading) {
    case Reading::Number: {
      auto number = decodeOracleNumber(bytes, length);
      if (!number) failOnField(c, "holds bytes that are not an Oracle NUMBER");
      return *number;
    }
    case Reading::Double: {
      if (length != sizeof(double)) failOnField(c, "holds a floating-point value of the wrong size");
      double d = 0;
      std::memcpy(&d, bytes, sizeof d);
      return Value::real(d);
    }
    case Reading::Date: {
      auto date = decodeOracleDate(bytes, length);
      if (!date) failOnField(c, "holds an invalid date");
      return Value::dateTime(*date);
    }
    case Reading::Raw:
      return Value::bytes(Bytes(bytes, bytes + length));
    default: {
      std::string text(reinterpret_cast<const char*>(bytes), length);
      if (c.isChar && options_.trimCharBlanks) {
        std::size_t last = text.find_last_not_of(' ');
        text.erase(last == std::string::npos ? 0 : last + 1);
      }
      return Value::text(std::move(text));
    }
  }
}

void OracleDataset::failOnField(const Column& column, const std::string& what) const {
  std::string where = rowNumber_ > 0 && !eof_ ? " in row " + std::to_string(rowNumber_) : "";
  throw std::runtime_error("Field '" + column.name + "'" + where + " of the Oracle query " + quoted(sql_) +
                           " " + what);
}

const std::string& OracleDataset::fieldName(std::size_t index) const {
  if (index >= columns_.size()) throw std::out_of_range("Oracle field index " + std::to_string(index) + " out of range");
  return columns_[index]->name;
}

bool OracleDataset::isBlob(std::size_t index) const {
  if (index >= columns_.size()) throw std::out_of_range("Oracle field index " + std::to_string(index) + " out of range");
  Reading r = columns_[index]->reading;
  return r == Reading::Raw || r == Reading::LongBinary;
}

const Value& OracleDataset::value(std::size_t index) const {
  if (index >= row_.size()) throw std::out_of_range("Oracle field index " + std::to_string(index) + " out of range");
  return row_[index];
}

}  // namespace fennick
