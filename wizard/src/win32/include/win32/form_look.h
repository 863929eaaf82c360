// What a form's window looks like beyond its model: the font, and the
// pictures of its Image components.
#pragma once

#include <functional>
#include <string>

namespace fennick::ui::win32 {

struct FormLook {
  std::string fontName = "MS Sans Serif";
  int fontHeight = 11;  // character height in pixels
};

// The bytes of the .bmp file of the picture of that name (an Image
// component's caption names its picture); empty when there is none.
using PictureSource = std::function<std::string(const std::string& picture)>;

}  // namespace fennick::ui::win32
