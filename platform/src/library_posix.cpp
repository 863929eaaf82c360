// Shared libraries on POSIX systems through dlopen and dlsym; the reason for
// a failed load is dlerror's text.
#include <dlfcn.h>

#include "platform/error.h"
#include "platform/library.h"

namespace fennick::platform {

struct Library::Handle {
  void* module = nullptr;
  ~Handle() {
    if (module) dlclose(module);
  }
};

Library Library::load(const std::string& fileName) {
  dlerror();  // clears an earlier failure's text
  void* module = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    throw LibraryLoadError(fileName, reason ? reason : "unknown reason", 0);
  }
  auto handle = std::make_unique<Handle>();
  handle->module = module;
  return Library(fileName, std::move(handle));
}

Library::Library(std::string fileName, std::unique_ptr<Handle> handle)
    : fileName_(std::move(fileName)), handle_(std::move(handle)) {}
Library::Library(Library&&) noexcept = default;
Library& Library::operator=(Library&&) noexcept = default;
Library::~Library() = default;

void* Library::symbol(const char* name) const {
  if (!handle_) return nullptr;
  return dlsym(handle_->module, name);
}

const char* librarySearchPathVariable() { return "LD_LIBRARY_PATH"; }

}  // namespace fennick::platform
