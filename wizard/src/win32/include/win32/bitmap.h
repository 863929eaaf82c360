// Pictures from the bytes of a .bmp file, for the Image components.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <type_traits>

namespace fennick::ui::win32 {

struct GdiObjectDeleter {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// The picture of an uncompressed .bmp file (1, 4, 8, 24 or 32 bits per
// pixel); null when the bytes are not one (checked before any use).
OwnedBitmap bitmapFromBmpFile(std::string_view bytes);

}  // namespace fennick::ui::win32
