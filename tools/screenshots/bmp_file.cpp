// The BMP file layout: BITMAPFILEHEADER (14 bytes), BITMAPINFOHEADER (40
// bytes), then the pixel rows, all little-endian.
#include "bmp_file.h"

#include <stdexcept>

namespace fennick::screens {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::int32_t kLargestSide = 16384;  // far beyond any window we capture
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void put32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

std::size_t rowStride(std::int32_t width) {
  return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

std::string encodeBmp24(const BottomUpPixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > kLargestSide ||
      pixels.height > kLargestSide)
    throw std::runtime_error("Cannot write a picture of " + std::to_string(pixels.width) + " x " +
                             std::to_string(pixels.height) + " pixels");
  const std::size_t imageBytes = rowStride(pixels.width) * static_cast<std::size_t>(pixels.height);
  if (pixels.rows.size() != imageBytes)
    throw std::runtime_error("The picture has " + std::to_string(pixels.rows.size()) +
                             " bytes of pixels where " + std::to_string(imageBytes) + " belong");

  std::string out;
  out.reserve(kFileHeaderBytes + kInfoHeaderBytes + imageBytes);
  out += "BM";
  put32(out, static_cast<std::uint32_t>(kFileHeaderBytes + kInfoHeaderBytes + imageBytes));
  put32(out, 0);  // two reserved words
  put32(out, kFileHeaderBytes + kInfoHeaderBytes);
  put32(out, kInfoHeaderBytes);
  put32(out, static_cast<std::uint32_t>(pixels.width));
  put32(out, static_cast<std::uint32_t>(pixels.height));  // positive: bottom-up rows
  put16(out, 1);                                          // planes
  put16(out, 24);                                         // bits per pixel
  put32(out, 0);                                          // BI_RGB, uncompressed
  put32(out, static_cast<std::uint32_t>(imageBytes));
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, 0);  // colours used: none, no palette
  put32(out, 0);  // important colours
  out.append(pixels.rows);
  return out;
}

}  // namespace fennick::screens
