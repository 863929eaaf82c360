// The stand-in's statements: preparing, running and describing a query on
// the SQLite file, defines, and array fetches that fill each define's slots
// the way OCI does (indicators, lengths, column codes, pieces for dynamic
// defines).
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "standin.h"

namespace oci = fennick::oci;

namespace {

sword failFromSqlite(OCIError* error, sqlite3* db) {
  std::string message = sqlite3_errmsg(db);
  if (message.find("no such table") != std::string::npos)
    return standin::fail(error->error, 942, "table or view does not exist");
  if (message.find("no such column") != std::string::npos)
    return standin::fail(error->error, 904, "invalid identifier (" + message + ")");
  return standin::fail(error->error, 900, "invalid SQL statement (" + message + ")");
}

// The field as bytes, or nullopt-like empty flag for NULL.
bool fieldBytes(sqlite3_stmt* statement, int index, std::string& out) {
  if (sqlite3_column_type(statement, index) == SQLITE_NULL) return false;
  const void* data = sqlite3_column_blob(statement, index);
  int size = sqlite3_column_bytes(statement, index);
  out.assign(static_cast<const char*>(data ? data : ""), static_cast<std::size_t>(size));
  return true;
}

std::string numberText(sqlite3_stmt* statement, int index) {
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, index));
    case SQLITE_FLOAT: {
      char buffer[64];
      auto end = std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(statement, index)).ptr;
      return std::string(buffer, end);
    }
    default: return reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
  }
}

// Fills slot `row` of one define from the current SQLite row; returns an
// Oracle error code for the column (0, or 1406 for a truncated value), or
// a negative value when the field cannot be converted (error recorded).
int fillSlot(OCIStmt& statement, OCIDefine& define, ub4 row, OCIError* error) {
  int index = static_cast<int>(define.position) - 1;
  const standin::ColumnDescription& column = statement.columns[static_cast<std::size_t>(index)];
  sb2 nullIndicator = 0;
  std::string bytes;
  bool present = fieldBytes(statement.statement, index, bytes);
  if (!present) nullIndicator = -1;

  if (define.dynamic) {
    // Hand the value over in as many pieces as the callback's buffers need.
    std::size_t offset = 0;
    ub1 piece = oci::kFirstPiece;
    do {
      void* buffer = nullptr;
      ub4* length = nullptr;
      void* indicator = nullptr;
      ub2* code = nullptr;
      ub1 asked = piece;
      if (define.callback(define.context, &define, row, &buffer, &length, &asked, &indicator, &code) !=
          oci::kContinue) {
        standin::fail(error->error, 24343, "user defined callback error");
        return -1;
      }
      if (!length || !indicator) {
        standin::fail(error->error, 24344, "callback gave no length or indicator place");
        return -1;
      }
      std::size_t n = std::min<std::size_t>(bytes.size() - offset, *length);
      if (n > 0) std::memcpy(buffer, bytes.data() + offset, n);
      *length = static_cast<ub4>(n);
      *static_cast<sb2*>(indicator) = nullIndicator;
      if (code) *code = 0;
      offset += n;
      piece = oci::kNextPiece;
    } while (offset < bytes.size());
    return 0;
  }

  if (define.indicators) define.indicators[row] = nullIndicator;
  if (define.returnCodes) define.returnCodes[row] = 0;
  if (!present) {
    if (define.lengths) define.lengths[row] = 0;
    return 0;
  }
  if (define.type == oci::type::kTimestamp || define.type == oci::type::kTimestampTz ||
      define.type == oci::type::kTimestampLtz) {
    OCIDateTime* stamp = static_cast<OCIDateTime**>(define.value)[row];
    if (!stamp || !standin::parseCivilTime(bytes, stamp->time)) {
      standin::fail(error->error, 1843, "not a valid month");
      return -1;
    }
    return 0;
  }

  std::string out;
  switch (define.type) {
    case oci::type::kNumber: {
      std::vector<ub1> number = standin::encodeNumber(numberText(statement.statement, index));
      if (number.empty()) {
        standin::fail(error->error, 1722, "invalid number");
        return -1;
      }
      out.assign(number.begin(), number.end());
      break;
    }
    case oci::type::kBinaryDouble: {
      double d = sqlite3_column_double(statement.statement, index);
      out.assign(reinterpret_cast<const char*>(&d), sizeof d);
      break;
    }
    case oci::type::kDate: {
      standin::CivilTime t;
      if (!standin::parseCivilTime(bytes, t)) {
        standin::fail(error->error, 1843, "not a valid month");
        return -1;
      }
      const int parts[7] = {t.year / 100 + 100, t.year % 100 + 100, t.month, t.day,
                            t.hour + 1,         t.minute + 1,       t.second + 1};
      for (int part : parts) out += static_cast<char>(part);
      break;
    }
    case oci::type::kVarchar2:
      out = bytes;
      // A CHAR column holds its value blank-padded to the declared length.
      if (column.type == oci::type::kChar && out.size() < column.size) out.resize(column.size, ' ');
      break;
    case oci::type::kRaw:
      out = bytes;
      break;
    default:
      standin::fail(error->error, 932, "inconsistent datatypes");
      return -1;
  }
  std::size_t room = static_cast<std::size_t>(std::max<sb4>(define.valueSize, 0));
  std::size_t n = std::min(out.size(), room);
  std::memcpy(static_cast<char*>(define.value) + row * room, out.data(), n);
  if (define.lengths) define.lengths[row] = static_cast<ub2>(n);
  if (n < out.size()) {
    if (define.returnCodes) define.returnCodes[row] = oci::kColumnTruncated;
    return oci::kColumnTruncated;
  }
  return 0;
}

}  // namespace

sword OCIStmtPrepare2(OCISvcCtx* service, OCIStmt** statement, OCIError* error, const OraText* text,
                      ub4 textLength, const OraText*, ub4, ub4, ub4) {
  if (!service || !statement || !error || !text) return oci::kInvalidHandle;
  *statement = new OCIStmt;
  (*statement)->service = service;
  (*statement)->sql.assign(reinterpret_cast<const char*>(text), textLength);
  return oci::kSuccess;
}

sword OCIStmtRelease(OCIStmt* statement, OCIError*, const OraText*, ub4, ub4) {
  if (!statement) return oci::kInvalidHandle;
  if (!statement->fetchLog.empty()) {
    if (std::FILE* log = std::fopen(statement->service->fetchLogPath.c_str(), "a")) {
      std::fprintf(log, "prefetch=%u%s\n", statement->prefetch, statement->fetchLog.c_str());
      std::fclose(log);
    }
  }
  sqlite3_finalize(statement->statement);
  delete statement;
  return oci::kSuccess;
}

sword OCIStmtExecute(OCISvcCtx* service, OCIStmt* statement, OCIError* error, ub4 iterations, ub4,
                     const OCISnapshot*, OCISnapshot*, ub4) {
  if (!service || !statement || !error) return oci::kInvalidHandle;
  // Like a server, the stand-in parses the text only when it runs.
  if (sqlite3_prepare_v2(service->db, statement->sql.c_str(), -1, &statement->statement, nullptr) != SQLITE_OK)
    return failFromSqlite(error, service->db);
  if (!statement->statement) return standin::fail(error->error, 900, "invalid SQL statement");
  int count = sqlite3_column_count(statement->statement);
  if (count == 0 && iterations == 0) return standin::fail(error->error, 24333, "zero iteration count");
  if (iterations != 0 && count > 0)
    return standin::fail(error->error, 24333, "the stand-in fetches only through OCIStmtFetch2");
  for (int i = 0; i < count; ++i) statement->columns.push_back(standin::describeColumn(statement->statement, i));
  statement->defines.resize(static_cast<std::size_t>(count));
  statement->executed = true;
  return oci::kSuccess;
}

sword OCIParamGet(const void* handle, ub4 type, OCIError* error, void** parameter, ub4 position) {
  if (!handle || !error || !parameter || type != oci::kHandleStmt) return oci::kInvalidHandle;
  auto* statement = static_cast<const OCIStmt*>(handle);
  if (position < 1 || position > statement->columns.size())
    return standin::fail(error->error, 24334, "no descriptor for this position");
  *parameter = new OCIParam{statement->columns[position - 1]};
  return oci::kSuccess;
}

sword OCIDefineByPos(OCIStmt* statement, OCIDefine** define, OCIError* error, ub4 position, void* value,
                     sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode, ub4 mode) {
  if (!statement || !define || !error) return oci::kInvalidHandle;
  if (position < 1 || position > statement->defines.size())
    return standin::fail(error->error, 1007, "variable not in select list");
  auto& slot = statement->defines[position - 1];
  slot = std::make_unique<OCIDefine>();
  slot->position = position;
  slot->value = value;
  slot->valueSize = valueSize;
  slot->type = type;
  slot->indicators = static_cast<sb2*>(indicator);
  slot->lengths = length;
  slot->returnCodes = returnCode;
  slot->dynamic = (mode & oci::kDynamicFetch) != 0;
  if (slot->dynamic && type != oci::type::kLong && type != oci::type::kLongRaw)
    return standin::fail(error->error, 932, "inconsistent datatypes");
  *define = slot.get();
  return oci::kSuccess;
}

sword OCIDefineDynamic(OCIDefine* define, OCIError* error, void* context, OCICallbackDefine callback) {
  if (!define || !error || !callback) return oci::kInvalidHandle;
  define->context = context;
  define->callback = callback;
  return oci::kSuccess;
}

sword OCIStmtFetch2(OCIStmt* statement, OCIError* error, ub4 rows, ub2 orientation, sb4, ub4) {
  if (!statement || !error) return oci::kInvalidHandle;
  if (!statement->executed || statement->finished)
    return standin::fail(error->error, 1002, "fetch out of sequence");
  if (orientation != oci::kFetchNext) return standin::fail(error->error, 24391, "invalid fetch operation");
  for (auto& define : statement->defines)
    if (!define || (define->dynamic && !define->callback))
      return standin::fail(error->error, 1008, "not all variables bound");
  ub4 delivered = 0;
  bool truncated = false;
  while (delivered < rows) {
    int step = sqlite3_step(statement->statement);
    if (step == SQLITE_DONE) {
      statement->finished = true;
      break;
    }
    if (step != SQLITE_ROW) return failFromSqlite(error, statement->service->db);
    for (auto& define : statement->defines) {
      int code = fillSlot(*statement, *define, delivered, error);
      if (code < 0) return oci::kError;
      truncated = truncated || code == oci::kColumnTruncated;
    }
    ++delivered;
  }
  statement->rowCount += delivered;
  statement->fetchLog += " fetch=" + std::to_string(rows) + ":" + std::to_string(delivered);
  if (delivered < rows) return oci::kNoData;
  if (truncated) {
    standin::fail(error->error, 24345, "A Truncation or null fetch error occurred");
    return oci::kSuccessWithInfo;
  }
  return oci::kSuccess;
}
