// A picture as 24-bit BMP file bytes. Relies on nothing but the standard
// library, so the layout is the same wherever it is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fennick::screens {

// The rows of a 24-bit picture as Windows keeps them in a bottom-up DIB
// section: blue, green, red per pixel, the last row first, each row padded
// to a multiple of four bytes.
struct BottomUpPixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string_view rows;  // rowStride(width) * height bytes
};

// Bytes of one padded 24-bit row.
std::size_t rowStride(std::int32_t width);

// The file header, the info header and the rows. Throws when the sizes do
// not fit together.
std::string encodeBmp24(const BottomUpPixels& pixels);

}  // namespace fennick::screens
