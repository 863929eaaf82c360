// What the Windows view tests share: a controller that records its events
// and runs a scripted handler, dialogs that record instead of asking, and
// control geometry as the parent sees it.
#pragma once

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

// Windows can be made only with a display (scripts/test.sh gives the tests
// a virtual one); without it the window tests are skipped.
inline bool displayAvailable() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

#define SKIP_WITHOUT_DISPLAY() \
  if (!::fennick::ui::win32::test::displayAvailable()) GTEST_SKIP() << "no display for windows"

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
