// Page 0: version byte, the masked block, the settings inside it.
#include "header.h"

#include <array>
#include <cstring>
#include <vector>

#include "bytes.h"

namespace fennick::jet {
namespace {

constexpr std::size_t kVersionOffset = 0x14;
constexpr char kMagic[] = "Standard Jet DB";  // at offset 4
constexpr std::array<std::uint8_t, 4> kHeaderMaskKey = {0xC7, 0xDA, 0x39, 0x6B};

// The RC4 keystream XORed over the data.
void rc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
  std::array<std::uint8_t, 256> s;
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + s[i] + key[i % key.size()]);
    std::swap(s[i], s[j]);
  }
  std::uint8_t a = 0, b = 0;
  for (auto& byte : data) {
    a = static_cast<std::uint8_t>(a + 1);
    b = static_cast<std::uint8_t>(b + s[a]);
    std::swap(s[a], s[b]);
    byte ^= s[static_cast<std::uint8_t>(s[a] + s[b])];
  }
}

}  // namespace

void throwDamaged(const std::string& path, const std::string& what) {
  throw Error("The database file \"" + path + "\" is damaged: " + what + ".");
}

const Format& detectFormat(std::span<const std::uint8_t> firstBytes, const std::string& path) {
  if (firstBytes.size() < kVersionOffset + 1 ||
      std::memcmp(firstBytes.data() + 4, kMagic, sizeof kMagic - 1) != 0 || firstBytes[0] != 0)
    throw Error("The file \"" + path + "\" is not an Access database (.mdb).");
  switch (firstBytes[kVersionOffset]) {
    case 0: return kJet3Format;
    case 1: return kJet4Format;
    default:
      throw Error("The file \"" + path +
                  "\" is an Access 2007 or later database (format code " +
                  std::to_string(firstBytes[kVersionOffset]) +
                  "), which is not supported; only Access 95/97 (Jet 3) and Access "
                  "2000-2003 (Jet 4) .mdb files are.");
  }
}

void toggleHeaderMask(std::span<std::uint8_t> page0, const Format& format) {
  rc4(kHeaderMaskKey, page0.subspan(format.maskedOffset, format.maskedLength));
}

Header parseHeader(std::span<const std::uint8_t> page0, const std::string& path) {
  Header header;
  header.format = &detectFormat(page0, path);
  const Format& f = *header.format;
  std::vector<std::uint8_t> plain(page0.begin(), page0.end());
  if (plain.size() < f.pageSize) throwDamaged(path, "the first page is incomplete");
  toggleHeaderMask(plain, f);
  ByteReader r(plain, path, "database header");
  header.codePage = r.u16(f.codePageOffset);
  header.collation = r.u16(f.collationOffset);
  if (f.collationVersionOffset) header.collationVersion = r.u16(f.collationVersionOffset);
  header.databaseKey = r.u32(f.databaseKeyOffset);
  if (f.creationDateOffset) {
    double ole;
    std::memcpy(&ole, r.bytes(f.creationDateOffset, 8).data(), 8);
    if (ole > -657434.0 && ole < 2958466.0) header.created = fennick::DateTime::fromOleDate(ole);
  }
  return header;
}

}  // namespace fennick::jet
