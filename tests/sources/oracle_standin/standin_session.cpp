// The stand-in's environment, handles, descriptors, errors, log-on and
// attributes.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "standin.h"

namespace oci = fennick::oci;

namespace standin {

sword fail(ErrorRecord& record, sb4 code, const std::string& text) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", static_cast<int>(code));
  record.code = code;
  record.message = prefix + text + "\n";
  return oci::kError;
}

}  // namespace standin

sword OCIEnvNlsCreate(OCIEnv** env, ub4, void*, void* (*)(void*, std::size_t), void* (*)(void*, void*, std::size_t),
                      void (*)(void*, void*), std::size_t, void**, ub2 charset, ub2) {
  if (!env) return oci::kInvalidHandle;
  *env = new OCIEnv;
  (*env)->charset = charset;
  return oci::kSuccess;
}

sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t, void**) {
  if (!parent || !handle) return oci::kInvalidHandle;
  if (type != oci::kHandleError) return oci::kError;
  *handle = new OCIError;
  return oci::kSuccess;
}

sword OCIHandleFree(void* handle, ub4 type) {
  if (!handle) return oci::kInvalidHandle;
  switch (type) {
    case oci::kHandleEnv: delete static_cast<OCIEnv*>(handle); return oci::kSuccess;
    case oci::kHandleError: delete static_cast<OCIError*>(handle); return oci::kSuccess;
    default: return oci::kInvalidHandle;
  }
}

sword OCIDescriptorAlloc(const void* parent, void** descriptor, ub4 type, std::size_t, void**) {
  if (!parent || !descriptor) return oci::kInvalidHandle;
  if (type != oci::kDescriptorTimestamp && type != oci::kDescriptorTimestampTz &&
      type != oci::kDescriptorTimestampLtz)
    return oci::kError;
  *descriptor = new OCIDateTime;
  return oci::kSuccess;
}

sword OCIDescriptorFree(void* descriptor, ub4 type) {
  if (!descriptor) return oci::kInvalidHandle;
  if (type == oci::kDescriptorParam) {
    delete static_cast<OCIParam*>(descriptor);
    return oci::kSuccess;
  }
  if (type == oci::kDescriptorTimestamp || type == oci::kDescriptorTimestampTz ||
      type == oci::kDescriptorTimestampLtz) {
    delete static_cast<OCIDateTime*>(descriptor);
    return oci::kSuccess;
  }
  return oci::kInvalidHandle;
}

sword OCIErrorGet(void* handle, ub4 recordNumber, OraText*, sb4* errorCode, OraText* buffer, ub4 bufferSize,
                  ub4 type) {
  if (!handle) return oci::kInvalidHandle;
  const standin::ErrorRecord* record = nullptr;
  if (type == oci::kHandleError) record = &static_cast<OCIError*>(handle)->error;
  else if (type == oci::kHandleEnv) record = &static_cast<OCIEnv*>(handle)->error;
  else return oci::kInvalidHandle;
  if (recordNumber != 1 || record->message.empty()) return oci::kNoData;
  if (errorCode) *errorCode = record->code;
  if (buffer && bufferSize > 0) {
    std::size_t n = std::min<std::size_t>(record->message.size(), bufferSize - 1);
    std::memcpy(buffer, record->message.data(), n);
    buffer[n] = 0;
  }
  return oci::kSuccess;
}

sword OCILogon2(OCIEnv* env, OCIError* error, OCISvcCtx** service, const OraText* user, ub4 userLength,
                const OraText* password, ub4 passwordLength, const OraText* connectString,
                ub4 connectStringLength, ub4) {
  if (!env || !error || !service) return oci::kInvalidHandle;
  std::string name(reinterpret_cast<const char*>(user), userLength);
  std::string secret(reinterpret_cast<const char*>(password), passwordLength);
  std::string path(reinterpret_cast<const char*>(connectString), connectStringLength);
  if (env->charset != oci::kCharsetAl32Utf8)
    return standin::fail(error->error, 12705, "Cannot access NLS data files or invalid environment specified");
  if (name.empty() || secret == "wrong")
    return standin::fail(error->error, 1017, "invalid username/password; logon denied");
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return standin::fail(error->error, 12154, "TNS:could not resolve the connect identifier specified");
  }
  *service = new OCISvcCtx;
  (*service)->db = db;
  (*service)->fetchLogPath = path + "-fetches.txt";
  return oci::kSuccess;
}

sword OCILogoff(OCISvcCtx* service, OCIError*) {
  if (!service) return oci::kInvalidHandle;
  sqlite3_close(service->db);
  delete service;
  return oci::kSuccess;
}

sword OCIAttrGet(const void* handle, ub4 type, void* attribute, ub4* size, ub4 attributeType, OCIError* error) {
  if (!handle || !attribute || !error) return oci::kInvalidHandle;
  if (type == oci::kHandleStmt) {
    auto* statement = static_cast<const OCIStmt*>(handle);
    switch (attributeType) {
      case oci::kAttrStmtType: {
        std::string head = statement->sql.substr(0, statement->sql.find_first_of(" \t\r\n("));
        for (char& ch : head) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        *static_cast<ub2*>(attribute) = head == "SELECT" || head == "WITH" ? oci::kStmtSelect : 0;
        return oci::kSuccess;
      }
      case oci::kAttrParamCount:
        if (!statement->executed) return standin::fail(error->error, 24338, "statement handle not executed");
        *static_cast<ub4*>(attribute) = static_cast<ub4>(statement->columns.size());
        return oci::kSuccess;
      case oci::kAttrRowCount:
        *static_cast<ub4*>(attribute) = statement->rowCount;
        return oci::kSuccess;
    }
  } else if (type == oci::kDescriptorParam) {
    auto* param = static_cast<const OCIParam*>(handle);
    switch (attributeType) {
      case oci::kAttrDataType: *static_cast<ub2*>(attribute) = param->column.type; return oci::kSuccess;
      case oci::kAttrDataSize: *static_cast<ub2*>(attribute) = param->column.size; return oci::kSuccess;
      case oci::kAttrName:
        *static_cast<const OraText**>(attribute) = reinterpret_cast<const OraText*>(param->column.name.c_str());
        if (size) *size = static_cast<ub4>(param->column.name.size());
        return oci::kSuccess;
    }
  }
  return standin::fail(error->error, 24315, "illegal attribute type");
}

sword OCIAttrSet(void* handle, ub4 type, void* attribute, ub4, ub4 attributeType, OCIError* error) {
  if (!handle || !attribute || !error) return oci::kInvalidHandle;
  if (type == oci::kHandleStmt && attributeType == oci::kAttrPrefetchRows) {
    static_cast<OCIStmt*>(handle)->prefetch = *static_cast<ub4*>(attribute);
    return oci::kSuccess;
  }
  return standin::fail(error->error, 24315, "illegal attribute type");
}

sword OCIDateTimeGetDate(void* handle, OCIError* error, const OCIDateTime* dateTime, sb2* year, ub1* month,
                         ub1* day) {
  if (!handle || !error || !dateTime) return oci::kInvalidHandle;
  *year = static_cast<sb2>(dateTime->time.year);
  *month = static_cast<ub1>(dateTime->time.month);
  *day = static_cast<ub1>(dateTime->time.day);
  return oci::kSuccess;
}

sword OCIDateTimeGetTime(void* handle, OCIError* error, OCIDateTime* dateTime, ub1* hour, ub1* minute,
                         ub1* second, ub4* fraction) {
  if (!handle || !error || !dateTime) return oci::kInvalidHandle;
  *hour = static_cast<ub1>(dateTime->time.hour);
  *minute = static_cast<ub1>(dateTime->time.minute);
  *second = static_cast<ub1>(dateTime->time.second);
  *fraction = static_cast<ub4>(dateTime->time.nanosecond);
  return oci::kSuccess;
}
