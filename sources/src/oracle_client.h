// The Oracle client library, loaded at run time, with the OCI functions we
// call resolved by name, and the translation of OCI failures into errors
// that carry Oracle's own message (ORA-nnnnn: ...).
#pragma once

#include <memory>
#include <string>

#include "oracle_oci.h"
#include "platform/library.h"

namespace fennick {

class OracleClient {
 public:
  // Loads the library named by FENNICK_OCI_LIBRARY, or else the system's
  // usual Oracle client (oci.dll, libclntsh.so). Throws a message saying
  // what is missing and how to install it.
  static std::shared_ptr<const OracleClient> load();

#define FENNICK_OCI_POINTER(name, result, parameters) result(*name) parameters = nullptr;
  FENNICK_OCI_FUNCTIONS(FENNICK_OCI_POINTER)
#undef FENNICK_OCI_POINTER

  // Oracle's message for the last failure recorded on a handle (an error
  // handle, or the environment for failures before one exists), without
  // trailing line breaks; empty when none is recorded.
  std::string errorMessage(void* handle, ub4 handleType) const;

  // Throws "<doing>: <Oracle's message>" unless `status` is a success.
  void check(sword status, OCIError* error, const std::string& doing) const;

 private:
  explicit OracleClient(platform::Library library) : library_(std::move(library)) {}
  platform::Library library_;
};

}  // namespace fennick
