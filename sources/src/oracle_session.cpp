// Creating the OCI environment and logging on and off.
#include "oracle_session.h"

#include <stdexcept>

namespace fennick {

namespace {

const OraText* oraText(const std::string& s) { return reinterpret_cast<const OraText*>(s.data()); }
ub4 oraLength(const std::string& s) { return static_cast<ub4>(s.size()); }

}  // namespace

OracleSession::OracleSession(std::shared_ptr<const OracleClient> client, const std::string& service,
                             const std::string& user, const std::string& password)
    : client_(std::move(client)) {
  const OracleClient& oci = *client_;
  try {
    // AL32UTF8 for both character sets: every text, national or not,
    // arrives as UTF-8, the program's one encoding.
    sword status = oci.OCIEnvNlsCreate(&env_, oci::kThreaded | oci::kObject, nullptr, nullptr, nullptr,
                                       nullptr, 0, nullptr, oci::kCharsetAl32Utf8, oci::kCharsetAl32Utf8);
    if (status != oci::kSuccess && status != oci::kSuccessWithInfo) {
      std::string reason = oci.errorMessage(env_, oci::kHandleEnv);
      throw std::runtime_error("The Oracle client could not start" +
                               (reason.empty() ? std::string(" (is its installation complete?)") : ": " + reason));
    }
    void* error = nullptr;
    if (oci.OCIHandleAlloc(env_, &error, oci::kHandleError, 0, nullptr) != oci::kSuccess)
      throw std::runtime_error("The Oracle client could not allocate an error handle");
    error_ = static_cast<OCIError*>(error);
    // Database authentication with user and password; connections read
    // committed data, Oracle's own default, and never write.
    oci.check(oci.OCILogon2(env_, error_, &service_, oraText(user), oraLength(user), oraText(password),
                            oraLength(password), oraText(service), oraLength(service), oci::kDefault),
              error_, "Could not connect to the Oracle service \"" + service + "\" as " + user);
  } catch (...) {
    release();
    throw;
  }
}

OracleSession::~OracleSession() { release(); }

void OracleSession::release() {
  const OracleClient& oci = *client_;
  if (service_) oci.OCILogoff(service_, error_);
  if (error_) oci.OCIHandleFree(error_, oci::kHandleError);
  if (env_) oci.OCIHandleFree(env_, oci::kHandleEnv);
  service_ = nullptr;
  error_ = nullptr;
  env_ = nullptr;
}

}  // namespace fennick
