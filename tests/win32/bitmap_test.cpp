// Pictures from .bmp bytes: a good file becomes a bitmap of its size, bad
// bytes give none and never read outside what they hold.
#include <gtest/gtest.h>

#include <string>

#include "win32/bitmap.h"

namespace fennick::ui::win32 {
namespace {

void put(std::string& bytes, std::size_t at, unsigned value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 3 x 2 picture, 24 bits per pixel (rows of 12 bytes with padding).
std::string smallBmp() {
  std::string bytes(54 + 2 * 12, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  put(bytes, 2, static_cast<unsigned>(bytes.size()), 4);
  put(bytes, 10, 54, 4);
  put(bytes, 14, 40, 4);
  put(bytes, 18, 3, 4);
  put(bytes, 22, 2, 4);
  put(bytes, 26, 1, 2);
  put(bytes, 28, 24, 2);
  return bytes;
}

TEST(BmpPicture, GoodFileGivesABitmapOfItsSize) {
  OwnedBitmap bitmap = bitmapFromBmpFile(smallBmp());
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  GetObjectW(bitmap.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
}

TEST(BmpPicture, BadBytesGiveNoPicture) {
  struct Case {
    const char* what;
    std::size_t at;
    unsigned value;
    int width;
  };
  const Case cases[] = {
      {"not a bitmap", 0, 'X', 1},
      {"pixels start beyond the end", 10, 1000, 4},
      {"header larger than the file", 14, 4000, 4},
      {"zero width", 18, 0, 4},
      {"huge width", 18, 1u << 30, 4},
      {"huge height", 22, 0x80000001u, 4},
      {"run-length compressed", 30, 1, 4},
      {"odd bit depth", 28, 7, 2},
      {"palette past the pixels", 28, 8, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = smallBmp();
    put(bytes, c.at, c.value, c.width);
    EXPECT_FALSE(bitmapFromBmpFile(bytes));
  }
  EXPECT_FALSE(bitmapFromBmpFile(""));
  EXPECT_FALSE(bitmapFromBmpFile(smallBmp().substr(0, 60)));  // pixels cut off
}

}  // namespace
}  // namespace fennick::ui::win32
