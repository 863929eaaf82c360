// One logged-on Oracle session: the OCI environment (UTF-8 text both ways),
// its error handle and the service context of a user logged on to a
// service. Datasets share it, so it lives as long as the last of them.
#pragma once

#include <memory>
#include <string>

#include "oracle_client.h"

namespace fennick {

class OracleSession {
 public:
  // Logs on with database authentication; throws with Oracle's message
  // (ORA-01017 for a refused password, ORA-12154 for an unknown service).
  OracleSession(std::shared_ptr<const OracleClient> client, const std::string& service,
                const std::string& user, const std::string& password);
  ~OracleSession();
  OracleSession(const OracleSession&) = delete;
  OracleSession& operator=(const OracleSession&) = delete;

  const OracleClient& client() const { return *client_; }
  OCIEnv* env() const { return env_; }
  OCIError* error() const { return error_; }
  OCISvcCtx* service() const { return service_; }

 private:
  void release();

  std::shared_ptr<const OracleClient> client_;
  OCIEnv* env_ = nullptr;
  OCIError* error_ = nullptr;
  OCISvcCtx* service_ = nullptr;
};

}  // namespace fennick
