// Shell links through the Windows shell link object. Relies on COM (ole32)
// and the shell's link class; every path crosses as UTF-16.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "core/utf.h"
#include "platform/error.h"
#include "platform/shortcut.h"

namespace fennick::platform {

namespace {

constexpr const char* kShellLinkClassId = "{00021401-0000-0000-C000-000000000046}";

std::wstring wide(const std::string& utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

// OLE for the calling thread, released on every way out once it was had.
class OleScope {
 public:
  OleScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~OleScope() {
    if (initialised_) CoUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  bool initialised_;
};

// Releases a COM interface at the end of its scope.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface* get() const { return p_; }
  Interface** out() { return &p_; }
  Interface* operator->() const { return p_; }

 private:
  Interface* p_ = nullptr;
};

[[noreturn]] void fail(HRESULT result, const std::string& suffix) {
  throw SystemError(systemErrorText(static_cast<int>(result)) + suffix, static_cast<int>(result));
}

// Every argument in double quotes, one blank between them.
std::string argumentText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    text += '"' + argument + '"';
  }
  return text;
}

}  // namespace

void createShortcut(const std::string& shortcutPath, const ShortcutLink& link) {
  OleScope ole;
  ComRef<IShellLinkW> shellLink;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(shellLink.out()));
  if (FAILED(result)) fail(result, std::string(", ClassID: ") + kShellLinkClassId);
  ComRef<IPersistFile> persistFile;
  result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persistFile.out()));
  if (FAILED(result)) fail(result, "");

  // The shell reports nothing useful from these; a link it could not save
  // shows itself when it is used.
  shellLink->SetPath(wide(link.program).c_str());
  shellLink->SetArguments(wide(argumentText(link.arguments)).c_str());
  shellLink->SetWorkingDirectory(wide(link.workingFolder).c_str());
  persistFile->Save(wide(shortcutPath).c_str(), FALSE);
}

}  // namespace fennick::platform
