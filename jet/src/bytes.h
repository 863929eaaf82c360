// Bounded little-endian reads from a block of bytes (a page, an assembled
// table definition, a row). Every read is checked against the block's end;
// a read past it raises the damaged-file error naming the file and region.
// Relies on jet/error.h only.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "jet/error.h"

namespace fennick::jet {

// "The database file "<path>" is damaged: <what>."
[[noreturn]] void throwDamaged(const std::string& path, const std::string& what);

class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, const std::string& path, const char* region)
      : bytes_(bytes), path_(&path), region_(region) {}

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> span() const { return bytes_; }

  std::uint8_t u8(std::size_t offset) const { return bytes_[check(offset, 1)]; }
  std::uint16_t u16(std::size_t offset) const {
    const std::uint8_t* p = &bytes_[check(offset, 2)];
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
  }
  std::uint32_t u24(std::size_t offset) const {
    const std::uint8_t* p = &bytes_[check(offset, 3)];
    return p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
  }
  std::uint32_t u32(std::size_t offset) const {
    const std::uint8_t* p = &bytes_[check(offset, 4)];
    return p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
  }
  std::span<const std::uint8_t> bytes(std::size_t offset, std::size_t length) const {
    return bytes_.subspan(check(offset, length), length);
  }
  const std::string& path() const { return *path_; }
  [[noreturn]] void damaged(const std::string& what) const {
    throwDamaged(*path_, std::string(region_) + ": " + what);
  }

 private:
  std::size_t check(std::size_t offset, std::size_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset)
      damaged("a field at offset " + std::to_string(offset) + " runs past its end (" +
              std::to_string(bytes_.size()) + " bytes)");
    return offset;
  }
  std::span<const std::uint8_t> bytes_;
  const std::string* path_;
  const char* region_;
};

// Unchecked reads for hot loops whose bounds were validated up front.
inline std::uint16_t loadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t loadU32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

}  // namespace fennick::jet
