// Loading the Oracle client library and reading Oracle's error messages.
// Relies on platform/library.h for the loading itself.
#include "oracle_client.h"

#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "platform/error.h"

namespace fennick {

namespace {

#ifdef _WIN32
constexpr const char* kClientFileName = "oci.dll";
#else
constexpr const char* kClientFileName = "libclntsh.so";
#endif

std::string statusName(sword status) {
  switch (status) {
    case oci::kInvalidHandle: return "invalid handle";
    case oci::kNeedData: return "more data needed";
    case oci::kNoData: return "no data";
    case oci::kStillExecuting: return "still executing";
    default: return "status " + std::to_string(status);
  }
}

}  // namespace

std::shared_ptr<const OracleClient> OracleClient::load() {
  const char* chosen = std::getenv("FENNICK_OCI_LIBRARY");
  std::string fileName = chosen && *chosen ? chosen : kClientFileName;
  std::optional<platform::Library> library;
  try {
    library.emplace(platform::Library::load(fileName));
  } catch (const platform::LibraryLoadError& e) {
    throw std::runtime_error("The Oracle client library " + fileName + " could not be loaded (" +
                             e.reason() + "). Install Oracle Instant Client and make sure its folder is on " +
                             platform::librarySearchPathVariable() + ".");
  }
  std::shared_ptr<OracleClient> client(new OracleClient(std::move(*library)));
  const platform::Library& loaded = client->library_;
#define FENNICK_OCI_RESOLVE(name, result, parameters)                                         \
  client->name = reinterpret_cast<result(*) parameters>(loaded.symbol(#name));               \
  if (!client->name)                                                                          \
    throw std::runtime_error("The Oracle client library " + fileName + " lacks the function " \
                             #name "; install Oracle Instant Client 11.2 or later.");
  FENNICK_OCI_FUNCTIONS(FENNICK_OCI_RESOLVE)
#undef FENNICK_OCI_RESOLVE
  return client;
}

std::string OracleClient::errorMessage(void* handle, ub4 handleType) const {
  if (!handle) return {};
  OraText buffer[3072] = {};
  sb4 code = 0;
  if (OCIErrorGet(handle, 1, nullptr, &code, buffer, sizeof buffer, handleType) != oci::kSuccess)
    return {};
  buffer[sizeof buffer - 1] = 0;
  std::string text(reinterpret_cast<const char*>(buffer));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

void OracleClient::check(sword status, OCIError* error, const std::string& doing) const {
  if (status == oci::kSuccess || status == oci::kSuccessWithInfo) return;
  std::string message;
  if (status == oci::kError) message = errorMessage(error, oci::kHandleError);
  if (message.empty()) message = "the Oracle client reported " + statusName(status);
  throw std::runtime_error(doing + ": " + message);
}

}  // namespace fennick
