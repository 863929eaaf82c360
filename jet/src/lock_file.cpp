// The lock file beside a database and the entry this program holds in it.
#include "lock_file.h"

#include <array>
#include <chrono>
#include <thread>
#include <vector>

#include "jet/error.h"
#include "platform/error.h"
#include "platform/process.h"

namespace fennick::jet {
namespace {

constexpr unsigned kSlots = 255;
constexpr std::size_t kEntrySize = 64;
constexpr std::size_t kNameSize = 32;
constexpr std::uint64_t kUserLockBase = 0x10000000;  // far past the entries: reading them is never blocked
constexpr std::uint64_t kGateLock = kUserLockBase + 0x1000;  // held while entries are taken or given up
constexpr char kSecurityName[] = "Admin";             // Jet's user when no workgroup security is set

std::uint64_t userLock(unsigned slot) { return kUserLockBase + slot; }

// Waits briefly for another program's entry change to finish.
void takeGate(platform::File& file) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (file.tryLock(kGateLock, 1)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  throw Error("The lock file \"" + file.path() + "\" stays locked by another program; close it and try again.");
}

std::string nameField(const std::uint8_t* bytes) {
  std::string name;
  for (std::size_t i = 0; i < kNameSize && bytes[i] != 0; ++i)
    name += static_cast<unsigned char>(bytes[i]) < 0x80 ? static_cast<char>(bytes[i]) : '?';
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// "computer PC1, user Admin; ..." for the entries of `slots` that name anyone.
std::string whoIsIn(const platform::File& file, const std::vector<unsigned>& slots) {
  std::string who;
  for (unsigned slot : slots) {
    std::array<std::uint8_t, kEntrySize> entry{};
    if (file.readAt(std::uint64_t{slot} * kEntrySize, entry.data(), entry.size()) < entry.size()) continue;
    const std::string computer = nameField(entry.data()), user = nameField(entry.data() + kNameSize);
    if (computer.empty() && user.empty()) continue;
    if (!who.empty()) who += "; ";
    who += "computer " + (computer.empty() ? std::string("?") : computer) + ", user " + user;
  }
  return who;
}

[[noreturn]] void refuse(const std::string& databasePath, const std::string& who) {
  throw Error("The database \"" + databasePath + "\" is open in another program" +
              (who.empty() ? std::string() : " (" + who + ")") + "; close it and try again.");
}

// The slots other than `mine` whose user lock another holder has.
std::vector<unsigned> liveSlots(platform::File& file, unsigned mine) {
  std::vector<unsigned> live;
  for (unsigned slot = 0; slot < kSlots; ++slot) {
    if (slot == mine) continue;
    if (file.tryLock(userLock(slot), 1)) file.unlock(userLock(slot), 1);
    else live.push_back(slot);
  }
  return live;
}

std::array<std::uint8_t, kEntrySize> entryFor(const std::string& computer) {
  std::array<std::uint8_t, kEntrySize> entry{};
  for (std::size_t i = 0; i < computer.size() && i < kNameSize - 1; ++i) {
    const auto c = static_cast<unsigned char>(computer[i]);
    entry[i] = c < 0x80 ? c : '_';
  }
  for (std::size_t i = 0; kSecurityName[i] != 0; ++i) entry[kNameSize + i] = static_cast<std::uint8_t>(kSecurityName[i]);
  return entry;
}

}  // namespace

std::string lockFilePath(const std::string& databasePath) {
  const std::size_t slash = databasePath.find_last_of("/\\");
  const std::size_t dot = databasePath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".ldb";
}

LockFile LockFile::acquire(const std::string& databasePath) {
  const std::string path = lockFilePath(databasePath);
  for (int attempt = 0; attempt < 20; ++attempt) {
    // Access keeps the lock file open while it has the database open.
    if (platform::isRegularFile(path) && platform::isOpenElsewhere(path)) {
      const auto file = platform::File::open(path, platform::File::Mode::ReadOnly);
      std::vector<unsigned> all(kSlots);
      for (unsigned i = 0; i < kSlots; ++i) all[i] = i;
      refuse(databasePath, whoIsIn(file, all));
    }
    platform::File file = platform::File::open(path, platform::File::Mode::OpenOrCreate);
    takeGate(file);
    if (!file.stillAt(path)) continue;  // the last one out removed it meanwhile: start over
    const std::vector<unsigned> live = liveSlots(file, kSlots);
    if (!live.empty()) {
      file.unlock(kGateLock, 1);
      refuse(databasePath, whoIsIn(file, live));
    }
    // Nobody is in: whatever entries are left are stale, ours is the first.
    file.truncate(0);
    const auto entry = entryFor(platform::computerName());
    file.writeAt(0, entry.data(), entry.size());
    if (!file.tryLock(userLock(0), 1)) {
      file.unlock(kGateLock, 1);
      continue;
    }
    file.unlock(kGateLock, 1);
    return LockFile(std::move(file), path, 0);
  }
  throw Error("The lock file \"" + path + "\" keeps changing; close the other programs using \"" + databasePath +
              "\" and try again.");
}

LockFile::LockFile(platform::File file, std::string path, unsigned slot)
    : file_(std::move(file)), path_(std::move(path)), slot_(slot) {}

LockFile::LockFile(LockFile&& other) noexcept
    : file_(std::move(other.file_)), path_(std::move(other.path_)), slot_(other.slot_) {
  other.file_.reset();
}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    other.file_.reset();
    path_ = std::move(other.path_);
    slot_ = other.slot_;
  }
  return *this;
}

LockFile::~LockFile() { release(); }

void LockFile::release() noexcept {
  if (!file_) return;
  try {
    takeGate(*file_);
    if (liveSlots(*file_, slot_).empty()) {
      // Removing an open file works on POSIX; Windows wants it closed first,
      // and then refuses while anyone else holds it open.
      if (!platform::removeFile(path_)) {
        file_.reset();
        platform::removeFile(path_);
      }
    } else {
      const std::array<std::uint8_t, kEntrySize> blank{};
      file_->writeAt(std::uint64_t{slot_} * kEntrySize, blank.data(), blank.size());
    }
  } catch (...) {
    // Giving the entry up is best effort: closing the file drops our locks.
  }
  file_.reset();
}

}  // namespace fennick::jet
