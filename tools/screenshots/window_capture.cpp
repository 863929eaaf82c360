// The client area of a window into a 24-bit DIB section by BitBlt from the
// window's device context, after a forced repaint of the whole tree.
#include "window_capture.h"

#include <stdexcept>
#include <string>

#include "bmp_file.h"

namespace fennick::screens {
namespace {

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {
    if (!dc_) throw std::runtime_error("Cannot get the device context of the window to capture");
  }
  ~WindowDc() { ReleaseDC(window_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {
    if (!dc_) throw std::runtime_error("Cannot create a memory device context for the capture");
  }
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A DIB section selected into a memory DC for as long as it lives.
class SelectedDib {
 public:
  SelectedDib(HDC windowDc, HDC memoryDc, int width, int height) : memoryDc_(memoryDc) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, the BMP file's own order
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_ || !bits_)
      throw std::runtime_error("Cannot create a " + std::to_string(width) + " x " +
                               std::to_string(height) + " picture for the capture");
    previous_ = SelectObject(memoryDc_, bitmap_);
  }
  ~SelectedDib() {
    SelectObject(memoryDc_, previous_);
    DeleteObject(bitmap_);
  }
  SelectedDib(const SelectedDib&) = delete;
  SelectedDib& operator=(const SelectedDib&) = delete;
  const char* bits() const { return static_cast<const char*>(bits_); }

 private:
  HDC memoryDc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace

std::string captureClientArea(HWND window) {
  if (!window || !IsWindow(window)) throw std::runtime_error("There is no window to capture");
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();

  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) throw std::runtime_error("The window to capture has no client area");

  WindowDc windowDc(window);
  MemoryDc memoryDc(windowDc.get());
  SelectedDib dib(windowDc.get(), memoryDc.get(), width, height);
  if (!BitBlt(memoryDc.get(), 0, 0, width, height, windowDc.get(), 0, 0, SRCCOPY | CAPTUREBLT))
    throw std::runtime_error("Cannot copy the window's pixels: error " + std::to_string(GetLastError()));
  GdiFlush();  // the DIB's bits are complete only after the queued drawing is done

  const std::size_t bytes = rowStride(width) * static_cast<std::size_t>(height);
  return encodeBmp24({width, height, std::string_view(dib.bits(), bytes)});
}

}  // namespace fennick::screens
