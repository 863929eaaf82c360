// Files and system errors on Windows, by wide-character path.
#include <windows.h>

#include "core/utf.h"
#include "platform/error.h"
#include "platform/file.h"

namespace fennick::platform {
namespace {

std::wstring wide(const std::string& utf8) {
  const std::u16string w = utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

}  // namespace

int lastErrorCode() { return static_cast<int>(GetLastError()); }

std::string systemErrorText(int code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n > 0 && buffer) {
    text = utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(buffer), n));
    LocalFree(buffer);
  } else {
    text = "System error " + std::to_string(code);
  }
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

struct File::Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

File::File(std::string path, std::unique_ptr<Handle> handle)
    : path_(std::move(path)), handle_(std::move(handle)) {}
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;
File::~File() = default;

namespace {
[[noreturn]] void fail(const char* what, const std::string& path) {
  const int code = static_cast<int>(GetLastError());
  throw SystemError(std::string(what) + " \"" + path + "\". " + systemErrorText(code), code);
}
}  // namespace

File File::open(const std::string& path, Mode mode) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = OPEN_EXISTING;
  if (mode != Mode::ReadOnly) access |= GENERIC_WRITE;
  const bool creating = mode == Mode::CreateExclusive || mode == Mode::CreatePrivate;
  if (creating) {
    share = 0;
    disposition = CREATE_ALWAYS;
  }
  if (mode == Mode::OpenOrCreate) {
    share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    disposition = OPEN_ALWAYS;
  }
  auto handle = std::make_unique<Handle>();
  handle->h = CreateFileW(wide(path).c_str(), access, share, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle->h == INVALID_HANDLE_VALUE)
    fail(creating ? "Cannot create file" : "Cannot open file", path);
  return File(path, std::move(handle));
}

std::size_t File::readAt(std::uint64_t offset, void* buffer, std::size_t size) const {
  std::size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < size) {
    OVERLAPPED ov{};
    const std::uint64_t at = offset + done;
    ov.Offset = static_cast<DWORD>(at);
    ov.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_->h, out + done, chunk, &got, &ov)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      fail("Cannot read file", path_);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

void File::writeAt(std::uint64_t offset, const void* buffer, std::size_t size) {
  std::size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < size) {
    OVERLAPPED ov{};
    const std::uint64_t at = offset + done;
    ov.Offset = static_cast<DWORD>(at);
    ov.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(handle_->h, in + done, chunk, &put, &ov)) fail("Cannot write file", path_);
    done += put;
  }
}

std::uint64_t File::size() const {
  LARGE_INTEGER s{};
  if (!GetFileSizeEx(handle_->h, &s)) fail("Cannot read file", path_);
  return static_cast<std::uint64_t>(s.QuadPart);
}

void File::truncate(std::uint64_t size) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(handle_->h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_->h))
    fail("Cannot write file", path_);
}

void File::sync() {
  if (!FlushFileBuffers(handle_->h)) fail("Cannot write file", path_);
}

namespace {
OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}
}  // namespace

bool File::tryLock(std::uint64_t offset, std::uint64_t length) {
  OVERLAPPED ov = at(offset);
  if (LockFileEx(handle_->h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, static_cast<DWORD>(length),
                 static_cast<DWORD>(length >> 32), &ov))
    return true;
  const DWORD code = GetLastError();
  if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return false;
  fail("Cannot lock file", path_);
}

void File::unlock(std::uint64_t offset, std::uint64_t length) {
  OVERLAPPED ov = at(offset);
  UnlockFileEx(handle_->h, 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32), &ov);
}

// Windows keeps a file that is open from being removed or replaced (a lock
// file is opened without delete sharing), so the name always names it.
bool File::stillAt(const std::string&) const { return true; }

bool isOpenElsewhere(const std::string& path) {
  // No sharing at all is refused while any other handle is open.
  HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool isRegularFile(const std::string& path) {
  const DWORD a = GetFileAttributesW(wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isDirectory(const std::string& path) {
  const DWORD a = GetFileAttributesW(wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool createDirectory(const std::string& path) {
  return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool removeFile(const std::string& path) { return DeleteFileW(wide(path).c_str()) != 0; }

void replaceFile(const std::string& from, const std::string& to) {
  if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    fail("Cannot replace file", to);
}

}  // namespace fennick::platform
