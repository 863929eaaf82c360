// Who has a database open for writing, recorded beside it as Jet records
// its users: "<name>.ldb", an array of up to 255 entries of 64 bytes (the
// computer name, then the user's security name, each NUL-padded ANSI).
//
// A writer holds its entry for as long as it has the database open, with an
// exclusive byte-range lock on one byte past the entries' end (the "user
// lock" of its slot); a slot whose lock cannot be taken belongs to a live
// program. On Windows a lock file that another program holds open (Access
// keeps it open while it has the database) counts as in use as well. The
// last writer to leave removes the file. Relies on platform::File.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

namespace fennick::jet {

// "<folder>/<name>.ldb" for "<folder>/<name>.<ext>" (or "<name>" alone).
std::string lockFilePath(const std::string& databasePath);

class LockFile {
 public:
  // Takes an entry for this program. Throws Error "The database "<path>" is
  // open in another program (...); close it and try again." when another
  // holds it, and platform::SystemError when the lock file cannot be made.
  static LockFile acquire(const std::string& databasePath);

  LockFile(LockFile&&) noexcept;
  LockFile& operator=(LockFile&&) noexcept;
  ~LockFile();  // gives the entry up; the last one out removes the file

 private:
  LockFile(platform::File file, std::string path, unsigned slot);
  void release() noexcept;

  std::optional<platform::File> file_;
  std::string path_;
  unsigned slot_ = 0;
};

}  // namespace fennick::jet
