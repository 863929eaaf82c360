// The part of the Oracle Call Interface (OCI) this program calls, declared
// from Oracle's published OCI reference so that building needs nothing from
// Oracle: scalar types, opaque handle types, the constants we pass or test,
// and the function signatures. The client library itself is loaded at run
// time (oracle_client.h); the stand-in client of the tests implements the
// same list.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef std::uint8_t ub1;
typedef std::int8_t sb1;
typedef std::uint16_t ub2;
typedef std::int16_t sb2;
typedef std::uint32_t ub4;
typedef std::int32_t sb4;
typedef std::uint64_t oraub8;
typedef std::int32_t sword;
typedef unsigned char OraText;

// Handles and descriptors are opaque: only the library looks inside.
typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIStmt OCIStmt;
typedef struct OCIDefine OCIDefine;
typedef struct OCIParam OCIParam;
typedef struct OCIDateTime OCIDateTime;
typedef struct OCISnapshot OCISnapshot;

// Called once per piece of a dynamically defined column (LONG, LOB read
// through the data interface): the program hands out the buffer, length,
// indicator and column-code places for row `iter`.
typedef sb4 (*OCICallbackDefine)(void* context, OCIDefine* define, ub4 iter, void** buffer,
                                 ub4** length, ub1* piece, void** indicator, ub2** returnCode);

}  // extern "C"

namespace fennick::oci {

// Function results.
constexpr sword kSuccess = 0;
constexpr sword kSuccessWithInfo = 1;
constexpr sword kNeedData = 99;
constexpr sword kNoData = 100;
constexpr sword kError = -1;
constexpr sword kInvalidHandle = -2;
constexpr sword kStillExecuting = -3123;
constexpr sword kContinue = -24200;

// Modes.
constexpr ub4 kDefault = 0x00;
constexpr ub4 kThreaded = 0x01;
constexpr ub4 kObject = 0x02;
constexpr ub4 kDynamicFetch = 0x02;  // OCIDefineByPos: pieces through a callback
constexpr ub4 kNativeSyntax = 1;     // OCIStmtPrepare2 language
constexpr ub2 kFetchNext = 0x02;

// Handle types.
constexpr ub4 kHandleEnv = 1;
constexpr ub4 kHandleError = 2;
constexpr ub4 kHandleSvcCtx = 3;
constexpr ub4 kHandleStmt = 4;
constexpr ub4 kHandleDefine = 6;

// Descriptor types.
constexpr ub4 kDescriptorParam = 53;
constexpr ub4 kDescriptorTimestamp = 68;
constexpr ub4 kDescriptorTimestampTz = 70;
constexpr ub4 kDescriptorTimestampLtz = 71;

// Attributes.
constexpr ub4 kAttrDataSize = 1;
constexpr ub4 kAttrDataType = 2;
constexpr ub4 kAttrName = 4;
constexpr ub4 kAttrRowCount = 9;
constexpr ub4 kAttrPrefetchRows = 11;
constexpr ub4 kAttrParamCount = 18;
constexpr ub4 kAttrStmtType = 24;
constexpr ub4 kAttrCharsetForm = 32;

constexpr ub2 kStmtSelect = 1;

// Pieces of a piecewise value.
constexpr ub1 kOnePiece = 0;
constexpr ub1 kFirstPiece = 1;
constexpr ub1 kNextPiece = 2;
constexpr ub1 kLastPiece = 3;

// Character set ids (OCIEnvNlsCreate) and forms.
constexpr ub2 kCharsetAl32Utf8 = 873;
constexpr ub1 kFormImplicit = 1;
constexpr ub1 kFormNchar = 2;

// Column codes reported in a define's return-code place.
constexpr ub2 kColumnNullFetched = 1405;
constexpr ub2 kColumnTruncated = 1406;

// Oracle's data type codes: the internal types a describe reports and the
// external types a define asks for.
namespace type {
constexpr ub2 kVarchar2 = 1;    // SQLT_CHR; also NVARCHAR2
constexpr ub2 kNumber = 2;      // SQLT_NUM: Oracle's 1..21-byte NUMBER form
constexpr ub2 kLong = 8;        // SQLT_LNG
constexpr ub2 kDate = 12;       // SQLT_DAT: 7 bytes
constexpr ub2 kBinaryDouble = 22;  // SQLT_BDOUBLE: a C double
constexpr ub2 kRaw = 23;        // SQLT_BIN
constexpr ub2 kLongRaw = 24;    // SQLT_LBI
constexpr ub2 kChar = 96;       // SQLT_AFC; also NCHAR
constexpr ub2 kBinaryFloatColumn = 100;   // SQLT_IBFLOAT
constexpr ub2 kBinaryDoubleColumn = 101;  // SQLT_IBDOUBLE
constexpr ub2 kRowid = 104;     // SQLT_RDD
constexpr ub2 kObject = 108;    // SQLT_NTY
constexpr ub2 kRef = 110;       // SQLT_REF
constexpr ub2 kClob = 112;      // also NCLOB (national character form)
constexpr ub2 kBlob = 113;
constexpr ub2 kBfile = 114;
constexpr ub2 kCursor = 116;    // SQLT_RSET
constexpr ub2 kTimestamp = 187;
constexpr ub2 kTimestampTz = 188;
constexpr ub2 kIntervalYearMonth = 189;
constexpr ub2 kIntervalDaySecond = 190;
constexpr ub2 kUrowid = 208;
constexpr ub2 kTimestampLtz = 232;
}  // namespace type

}  // namespace fennick::oci

// Every OCI function we call: X(name, result, parameter list). The client
// resolves these by name; the stand-in defines them.
#define FENNICK_OCI_FUNCTIONS(X)                                                              \
  X(OCIEnvNlsCreate, sword,                                                                   \
    (OCIEnv * *env, ub4 mode, void* context, void* (*allocate)(void*, std::size_t),           \
     void* (*reallocate)(void*, void*, std::size_t), void (*release)(void*, void*),           \
     std::size_t extraMemory, void** userMemory, ub2 charset, ub2 ncharset))                  \
  X(OCIHandleAlloc, sword,                                                                    \
    (const void* parent, void** handle, ub4 type, std::size_t extraMemory, void** userMemory)) \
  X(OCIHandleFree, sword, (void* handle, ub4 type))                                           \
  X(OCIDescriptorAlloc, sword,                                                                \
    (const void* parent, void** descriptor, ub4 type, std::size_t extraMemory,                \
     void** userMemory))                                                                      \
  X(OCIDescriptorFree, sword, (void* descriptor, ub4 type))                                   \
  X(OCIErrorGet, sword,                                                                       \
    (void* handle, ub4 recordNumber, OraText* sqlState, sb4* errorCode, OraText* buffer,      \
     ub4 bufferSize, ub4 type))                                                               \
  X(OCILogon2, sword,                                                                         \
    (OCIEnv * env, OCIError* error, OCISvcCtx** service, const OraText* user, ub4 userLength, \
     const OraText* password, ub4 passwordLength, const OraText* connectString,               \
     ub4 connectStringLength, ub4 mode))                                                      \
  X(OCILogoff, sword, (OCISvcCtx * service, OCIError* error))                                 \
  X(OCIStmtPrepare2, sword,                                                                   \
    (OCISvcCtx * service, OCIStmt** statement, OCIError* error, const OraText* text,          \
     ub4 textLength, const OraText* key, ub4 keyLength, ub4 language, ub4 mode))              \
  X(OCIStmtRelease, sword,                                                                    \
    (OCIStmt * statement, OCIError* error, const OraText* key, ub4 keyLength, ub4 mode))      \
  X(OCIStmtExecute, sword,                                                                    \
    (OCISvcCtx * service, OCIStmt* statement, OCIError* error, ub4 iterations, ub4 rowOffset, \
     const OCISnapshot* snapshotIn, OCISnapshot* snapshotOut, ub4 mode))                      \
  X(OCIStmtFetch2, sword,                                                                     \
    (OCIStmt * statement, OCIError* error, ub4 rows, ub2 orientation, sb4 offset, ub4 mode))  \
  X(OCIParamGet, sword,                                                                       \
    (const void* handle, ub4 type, OCIError* error, void** parameter, ub4 position))          \
  X(OCIAttrGet, sword,                                                                        \
    (const void* handle, ub4 type, void* attribute, ub4* size, ub4 attributeType,             \
     OCIError* error))                                                                        \
  X(OCIAttrSet, sword,                                                                        \
    (void* handle, ub4 type, void* attribute, ub4 size, ub4 attributeType, OCIError* error))  \
  X(OCIDefineByPos, sword,                                                                    \
    (OCIStmt * statement, OCIDefine** define, OCIError* error, ub4 position, void* value,     \
     sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode, ub4 mode))       \
  X(OCIDefineDynamic, sword,                                                                  \
    (OCIDefine * define, OCIError* error, void* context, OCICallbackDefine callback))         \
  X(OCIDateTimeGetDate, sword,                                                                \
    (void* handle, OCIError* error, const OCIDateTime* dateTime, sb2* year, ub1* month,       \
     ub1* day))                                                                               \
  X(OCIDateTimeGetTime, sword,                                                                \
    (void* handle, OCIError* error, OCIDateTime* dateTime, ub1* hour, ub1* minute,           \
     ub1* second, ub4* fraction))
