// Shared libraries on Windows through LoadLibraryW and GetProcAddress; the
// reason for a failed load is the system's text for GetLastError.
#include <windows.h>

#include "core/utf.h"
#include "platform/error.h"
#include "platform/library.h"

namespace fennick::platform {

struct Library::Handle {
  HMODULE module = nullptr;
  ~Handle() {
    if (module) FreeLibrary(module);
  }
};

Library Library::load(const std::string& fileName) {
  std::u16string wide = utf8ToUtf16(fileName);
  // No message box when the library or one it needs is missing: the caller
  // reports the failure in its own words.
  UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  int code = static_cast<int>(GetLastError());
  SetErrorMode(previousMode);
  if (!module)
    throw LibraryLoadError(fileName, systemErrorText(code), code);
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
  return reinterpret_cast<void*>(GetProcAddress(handle_->module, name));
}

const char* librarySearchPathVariable() { return "PATH"; }

}  // namespace fennick::platform
