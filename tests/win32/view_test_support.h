// What the Windows view tests share: a controller that records its events
// and runs a scripted handler, dialogs that record instead of asking, and
// control geometry as the parent sees it.
#pragma once

#include <cstdlib>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/dialogs.h"
#include "win32/wide_text.h"
#include "wizard/form.h"

namespace fennick::ui::win32::test {

class ScriptedController : public FormController {
 public:
  explicit ScriptedController(Form form) : form_(std::move(form)) {}
  Form& form() override { return form_; }
  void onCreate() override { record("create"); }
  void onClick(const std::string& c) override { record("click:" + c); }
  void onDoubleClick(const std::string& c) override { record("dblclick:" + c); }
  void onTimer(const std::string& t) override { record("timer:" + t); }
  void onDestroy() override { record("destroy"); }
  bool closeRequested() const override { return close; }

  std::vector<std::string> events;
  std::function<void(const std::string& event)> handler;  // runs on every event
  bool close = false;

 private:
  void record(const std::string& event) {
    events.push_back(event);
    if (handler) handler(event);
  }
  Form form_;
};

struct MessageBoxCall {
  std::wstring text, title;
  UINT type;
};

struct RecordingDialogs {
  std::vector<MessageBoxCall> messageBoxes;
  int answer = IDOK;
  Dialogs dialogs() {
    Dialogs d;
    d.messageBox = [this](HWND, const wchar_t* text, const wchar_t* title, UINT type) {
      messageBoxes.push_back({text, title, type});
      return answer;
    };
    d.saveFileName = [](OPENFILENAMEW&) { return false; };
    d.shellExecute = [](HWND, const wchar_t*, const wchar_t*, int) {};
    return d;
  }
};

inline void put(std::string& bytes, std::size_t at, unsigned value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The bytes of a 3 x 2 .bmp file, 24 bits per pixel (rows of 12 bytes with padding).
inline std::string smallBmp() {
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

// Windows can be made only with a display (scripts/test.sh gives the tests
// a virtual one); without it the window tests are skipped.
inline bool displayAvailable() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

// scripts/test.sh sets FENNICK_REQUIRE_DISPLAY: there a missing display is a
// fault of the set-up to report, not a reason to skip.
#define SKIP_WITHOUT_DISPLAY()                                                              \
  if (!::fennick::ui::win32::test::displayAvailable()) {                                    \
    if (std::getenv("FENNICK_REQUIRE_DISPLAY")) FAIL() << "no display for windows";          \
    GTEST_SKIP() << "no display for windows";                                                \
  }

// The control's rectangle in its parent's client coordinates.
inline Bounds boundsInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Lets the message loop run for a while (timers, posted messages).
inline void pumpFor(int milliseconds, const std::function<bool()>& done = {}) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG message;
  while (GetTickCount() < until && !(done && done())) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
}

}  // namespace fennick::ui::win32::test
