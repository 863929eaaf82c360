// What a window shows in its client area, read back as a 24-bit BMP file.
// Relies on user32 and gdi32, and on the BMP layout in bmp_file.h.
#pragma once

#include <windows.h>

#include <string>

namespace fennick::screens {

// Repaints the window and its controls, then copies its client area from
// the window's device context into a DIB section; the BMP file's bytes.
// Throws when the window or the copy cannot be had.
std::string captureClientArea(HWND window);

}  // namespace fennick::screens
