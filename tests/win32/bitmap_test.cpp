// Pictures from .bmp bytes: a good file becomes a bitmap of its size, bad
// bytes give none and never read outside what they hold.
#include <gtest/gtest.h>

#include <string>

#include "view_test_support.h"
#include "win32/bitmap.h"

namespace fennick::ui::win32 {
namespace {

using test::put;
using test::smallBmp;

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
