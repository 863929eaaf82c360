// Files by UTF-8 path: positional reads and writes, durability, and the
// folder tests the programs need. Opening never locks other programs out
// unless asked to (Exclusive), as the shared-mode database access requires.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace fennick::platform {

class File {
 public:
  enum class Mode {
    ReadOnly,         // existing file, shared for reading and writing by others
    ReadWrite,        // existing file, shared for reading and writing by others
    CreateExclusive,  // create or truncate, denying others access while open
    CreatePrivate,    // the same, readable and writable by its owner only
                      // (on POSIX systems; Windows keeps the folder's access rules)
    OpenOrCreate,     // read and write, created when missing, shared for reading
                      // and writing but not deletion while open (a lock file)
  };

  // Throws SystemError with "Cannot open file "<path>". <reason>" (or
  // "Cannot create file ..." for CreateExclusive).
  static File open(const std::string& utf8Path, Mode mode);

  File(File&&) noexcept;
  File& operator=(File&&) noexcept;
  ~File();

  // Reads up to `size` bytes at `offset`; returns the number read (short
  // only at the end of the file).
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) const;
  void writeAt(std::uint64_t offset, const void* buffer, std::size_t size);
  std::uint64_t size() const;
  void truncate(std::uint64_t size);
  // Makes everything written so far durable (fsync / FlushFileBuffers).
  void sync();
  const std::string& path() const { return path_; }

  // Byte-range locks, exclusive and owned by this open file (not the whole
  // process), also past the file's end. tryLock returns false at once when
  // another holder has any byte of the range.
  bool tryLock(std::uint64_t offset, std::uint64_t length);
  void unlock(std::uint64_t offset, std::uint64_t length);
  // Whether the path still names the file this handle has open (it may have
  // been removed, or replaced by a new file of the same name).
  bool stillAt(const std::string& utf8Path) const;

 private:
  struct Handle;
  File(std::string path, std::unique_ptr<Handle> handle);
  std::string path_;
  std::unique_ptr<Handle> handle_;
};

bool isRegularFile(const std::string& utf8Path);
bool isDirectory(const std::string& utf8Path);
// Creates one folder level; returns false when that fails.
bool createDirectory(const std::string& utf8Path);
bool removeFile(const std::string& utf8Path);
// Whether another open handle holds the file, as Windows' sharing rules tell;
// always false where the system keeps no such record (POSIX).
bool isOpenElsewhere(const std::string& utf8Path);
// Replaces `to` by `from` in one step (rename over an existing file).
void replaceFile(const std::string& from, const std::string& to);

// Writes the whole file, creating or truncating it, and throws
// "Cannot create file "<path>". <reason>" when that is not possible.
void writeWholeFile(const std::string& utf8Path, std::string_view bytes);
std::string readWholeFile(const std::string& utf8Path);
// writeWholeFile for files that hold a secret (a password): owner-only.
void writePrivateFile(const std::string& utf8Path, std::string_view bytes);

}  // namespace fennick::platform
