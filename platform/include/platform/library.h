// Shared libraries loaded at run time (libclntsh.so, oci.dll), so that a
// program can use a vendor's client library when it is installed and still
// start and explain itself when it is not.
#pragma once

#include <memory>
#include <string>

#include "platform/error.h"

namespace fennick::platform {

// A library that could not be loaded; what() names the file and gives the
// reason, reason() gives the system's reason alone.
class LibraryLoadError : public SystemError {
 public:
  LibraryLoadError(const std::string& fileName, std::string reason, int code)
      : SystemError("The library " + fileName + " could not be loaded: " + reason, code),
        reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// One loaded shared library; unloaded when the object goes away. Function
// addresses taken from it are valid only while it lives.
class Library {
 public:
  // Loads the library by file name (searched the system's usual way) or
  // path. Throws LibraryLoadError.
  static Library load(const std::string& fileName);

  Library(Library&&) noexcept;
  Library& operator=(Library&&) noexcept;
  ~Library();

  // The address of an exported symbol, or nullptr when the library lacks it.
  void* symbol(const char* name) const;

  const std::string& fileName() const { return fileName_; }

 private:
  struct Handle;
  Library(std::string fileName, std::unique_ptr<Handle> handle);

  std::string fileName_;
  std::unique_ptr<Handle> handle_;
};

// The environment variable the system searches for shared libraries
// ("PATH" on Windows, "LD_LIBRARY_PATH" elsewhere), for messages that tell
// the user where to put one.
const char* librarySearchPathVariable();

}  // namespace fennick::platform
