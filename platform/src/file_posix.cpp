// Files and system errors on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/error.h"
#include "platform/file.h"

namespace fennick::platform {

int lastErrorCode() { return errno; }

std::string systemErrorText(int code) {
  std::string text = std::strerror(code);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

struct File::Handle {
  int fd = -1;
  ~Handle() {
    if (fd >= 0) ::close(fd);
  }
};

File::File(std::string path, std::unique_ptr<Handle> handle)
    : path_(std::move(path)), handle_(std::move(handle)) {}
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;
File::~File() = default;

namespace {
[[noreturn]] void fail(const char* what, const std::string& path) {
  const int code = errno;
  throw SystemError(std::string(what) + " \"" + path + "\". " + systemErrorText(code), code);
}
}  // namespace

File File::open(const std::string& path, Mode mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::ReadOnly: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::OpenOrCreate: flags |= O_RDWR | O_CREAT; break;
    case Mode::CreateExclusive:
    case Mode::CreatePrivate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  const bool creating = mode == Mode::CreateExclusive || mode == Mode::CreatePrivate;
  auto handle = std::make_unique<Handle>();
  handle->fd = ::open(path.c_str(), flags, mode == Mode::CreatePrivate ? 0600 : 0666);
  if (handle->fd < 0) fail(creating ? "Cannot create file" : "Cannot open file", path);
  struct stat st {};
  if (::fstat(handle->fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    fail(creating ? "Cannot create file" : "Cannot open file", path);
  }
  // A file that already existed keeps its mode through O_TRUNC.
  if (mode == Mode::CreatePrivate && ::fchmod(handle->fd, 0600) != 0) fail("Cannot create file", path);
  return File(path, std::move(handle));
}

std::size_t File::readAt(std::uint64_t offset, void* buffer, std::size_t size) const {
  std::size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pread(handle_->fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot read file", path_);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void File::writeAt(std::uint64_t offset, const void* buffer, std::size_t size) {
  std::size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pwrite(handle_->fd, in + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot write file", path_);
    }
    done += static_cast<std::size_t>(n);
  }
}

std::uint64_t File::size() const {
  struct stat st {};
  if (::fstat(handle_->fd, &st) != 0) fail("Cannot read file", path_);
  return static_cast<std::uint64_t>(st.st_size);
}

void File::truncate(std::uint64_t size) {
  if (::ftruncate(handle_->fd, static_cast<off_t>(size)) != 0) fail("Cannot write file", path_);
}

void File::sync() {
  if (::fdatasync(handle_->fd) != 0) fail("Cannot write file", path_);
}

namespace {
// Open-file-description locks belong to the open file, so two handles in one
// process exclude each other and closing another descriptor keeps them.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

int lockRange(int fd, short type, std::uint64_t offset, std::uint64_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  return ::fcntl(fd, kSetLock, &lock);
}
}  // namespace

bool File::tryLock(std::uint64_t offset, std::uint64_t length) {
  if (lockRange(handle_->fd, F_WRLCK, offset, length) == 0) return true;
  if (errno == EACCES || errno == EAGAIN) return false;
  fail("Cannot lock file", path_);
}

void File::unlock(std::uint64_t offset, std::uint64_t length) { lockRange(handle_->fd, F_UNLCK, offset, length); }

bool File::stillAt(const std::string& path) const {
  struct stat mine {}, named {};
  return ::fstat(handle_->fd, &mine) == 0 && ::stat(path.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
         mine.st_ino == named.st_ino;
}

bool isOpenElsewhere(const std::string&) { return false; }

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void replaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) fail("Cannot replace file", to);
}

}  // namespace fennick::platform
