// Decoding of .bmp file bytes into a device-dependent bitmap; relies on
// gdi32. Every length and offset is checked against the bytes at hand.
#include "win32/bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fennick::ui::win32 {
namespace {

std::uint32_t le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
unsigned le16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::int64_t kMaxSide = 8192;

}  // namespace

OwnedBitmap bitmapFromBmpFile(std::string_view bytes) {
  if (bytes.size() < kFileHeaderSize + sizeof(BITMAPINFOHEADER)) return nullptr;
  if (bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
  const std::uint64_t pixelsAt = le32(bytes, 10);
  const std::uint64_t infoSize = le32(bytes, 14);
  if (infoSize < sizeof(BITMAPINFOHEADER) || kFileHeaderSize + infoSize > bytes.size()) return nullptr;
  const std::int64_t width = static_cast<std::int32_t>(le32(bytes, 18));
  const std::int64_t height = static_cast<std::int32_t>(le32(bytes, 22));
  const unsigned bitsPerPixel = le16(bytes, 28);
  const std::uint32_t compression = le32(bytes, 30);
  std::uint64_t colours = le32(bytes, 46);
  if (compression != BI_RGB) return nullptr;
  if (width <= 0 || width > kMaxSide || height == 0 || std::llabs(height) > kMaxSide) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
      bitsPerPixel != 32)
    return nullptr;
  if (bitsPerPixel <= 8) {
    const std::uint64_t most = 1ull << bitsPerPixel;
    if (colours == 0 || colours > most) colours = most;
  } else {
    colours = 0;
  }
  if (kFileHeaderSize + infoSize + colours * 4 > pixelsAt) return nullptr;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
  if (pixelsAt > bytes.size() || bytes.size() - pixelsAt < stride * std::llabs(height)) return nullptr;

  // The header and palette copied to storage aligned as GDI expects.
  const std::size_t headerBytes = static_cast<std::size_t>(infoSize + colours * 4);
  std::vector<DWORD> header((headerBytes + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(header.data(), bytes.data() + kFileHeaderSize, headerBytes);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(header.data());
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bytes.data() + pixelsAt, info,
                                  DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return OwnedBitmap(bitmap);
}

}  // namespace fennick::ui::win32
