// The container window class: painting of its looks and the forwarding of
// child notifications to the top-level window; relies on user32 and gdi32.
#include "container_window.h"

#include <algorithm>

namespace fennick::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"FennickContainer";
constexpr int kLookSlot = 0;                       // window extra bytes: the ContainerLook
constexpr int kFontSlot = sizeof(LONG_PTR);        // the font set by WM_SETFONT
constexpr int kPageTabsHeight = 22;                // the frame of a page area starts below its tabs

void paintGroupFrame(HWND window, HDC dc, const RECT& client) {
  HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, kFontSlot));
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

  const int length = GetWindowTextLengthW(window);
  if (length > 0) {
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(window, caption.data(), length + 1)));
    RECT text{8, 0, client.right - 8, metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_CALCRECT);
    RECT behind{text.left - 2, 0, text.right + 2, text.bottom};
    FillRect(dc, &behind, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE);
  }
  if (previous) SelectObject(dc, previous);
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  switch (static_cast<ContainerLook>(GetWindowLongPtrW(window, kLookSlot))) {
    case ContainerLook::Plain:
      break;
    case ContainerLook::Separator: {
      RECT line = client;
      DrawEdge(dc, &line, EDGE_ETCHED, client.bottom >= client.right ? BF_LEFT : BF_TOP);
      break;
    }
    case ContainerLook::PageFrame: {
      RECT frame = client;
      frame.top = std::min<LONG>(kPageTabsHeight, client.bottom);
      DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
      break;
    }
    case ContainerLook::GroupFrame:
      paintGroupFrame(window, dc, client);
      break;
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_SETFONT:
      SetWindowLongPtrW(window, kFontSlot, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrW(window, kFontSlot);
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_PAINT:
      paint(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The system keeps the registration for the process; registering again is
// refused harmlessly.
void registerClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = containerProc;
  windowClass.cbWndExtra = 2 * sizeof(LONG_PTR);
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
}

}  // namespace

HWND createContainer(HWND parent, ContainerLook look, const Bounds& bounds, const std::wstring& caption) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  registerClass(instance);
  HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, caption.c_str(),
                                WS_CHILD | WS_CLIPSIBLINGS, bounds.left, bounds.top, bounds.width,
                                bounds.height, parent, nullptr, instance, nullptr);
  if (window) SetWindowLongPtrW(window, kLookSlot, static_cast<LONG_PTR>(look));
  return window;
}

}  // namespace fennick::ui::win32
