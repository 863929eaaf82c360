// The stand-in Oracle client's handles, shared by its source files. The
// stand-in serves the rows of a SQLite file named by the connect string and
// describes each column by its declared type ("NUMBER", "CHAR(5)", "CLOB",
// "LONG RAW", ...), the way an Oracle server would describe it. Each
// statement appends a line of what its fetches asked for and got to
// "<database>-fetches.txt", for tests that check the fetch rounds.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "oracle_oci.h"

#define FENNICK_STANDIN_DECLARE(name, result, parameters) \
  extern "C" __attribute__((visibility("default"))) result name parameters;
FENNICK_OCI_FUNCTIONS(FENNICK_STANDIN_DECLARE)
#undef FENNICK_STANDIN_DECLARE

namespace standin {

// The last failure on a handle, as OCIErrorGet reports it.
struct ErrorRecord {
  sb4 code = 0;
  std::string message;
};

// Records "ORA-<code>: <text>" and returns OCI_ERROR.
sword fail(ErrorRecord& record, sb4 code, const std::string& text);

struct ColumnDescription {
  std::string name;
  ub2 type = fennick::oci::type::kVarchar2;
  ub2 size = 4000;
};

ColumnDescription describeColumn(sqlite3_stmt* statement, int index);

// Oracle's NUMBER bytes for decimal text (optional sign, digits, point,
// exponent); empty when the text is not a number Oracle can hold.
std::vector<ub1> encodeNumber(const std::string& text);

struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, nanosecond = 0;
};
// "YYYY-MM-DD[ HH:MM:SS[.fffffffff]]"; false when the text is not that.
bool parseCivilTime(const std::string& text, CivilTime& out);

}  // namespace standin

struct OCIEnv {
  ub2 charset = 0;
  standin::ErrorRecord error;
};

struct OCIError {
  standin::ErrorRecord error;
};

struct OCISvcCtx {
  sqlite3* db = nullptr;
  std::string fetchLogPath;
};

struct OCIDefine {
  ub4 position = 0;
  void* value = nullptr;
  sb4 valueSize = 0;
  ub2 type = 0;
  sb2* indicators = nullptr;
  ub2* lengths = nullptr;
  ub2* returnCodes = nullptr;
  bool dynamic = false;
  void* context = nullptr;
  OCICallbackDefine callback = nullptr;
};

struct OCIStmt {
  OCISvcCtx* service = nullptr;
  std::string sql;
  sqlite3_stmt* statement = nullptr;
  std::vector<standin::ColumnDescription> columns;
  std::vector<std::unique_ptr<OCIDefine>> defines;  // index = position - 1
  ub4 prefetch = 1;
  ub4 rowCount = 0;
  bool executed = false;
  bool finished = false;
  std::string fetchLog;
};

struct OCIParam {
  standin::ColumnDescription column;
};

struct OCIDateTime {
  standin::CivilTime time;
};
