// The top-level window of a form and the routing of its messages to the
// controller; relies on the control set, user32 and the UI services for the
// error box.
#include "win32/form_window.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "control_set.h"
#include "win32/wide_text.h"
#include "win32/win32_ui.h"
#include "wizard/ui_services.h"

namespace fennick::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"FennickForm";
// A fixed single border with the system menu only: no resizing, no
// minimize or maximize box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExtendedStyle = WS_EX_CONTROLPARENT;

}  // namespace

FormWindow::FormWindow(Win32Ui& ui, FormController& controller, HWND owner)
    : ui_(ui), controller_(controller), owner_(owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // refused harmlessly when already registered

  Form& form = controller_.form();
  RECT frame{0, 0, form.clientWidth(), form.clientHeight()};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExtendedStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  const std::wstring caption = wide(form.caption());
  CreateWindowExW(kExtendedStyle, kClassName, caption.c_str(), kStyle, left, top, width, height, owner,
                  nullptr, instance, this);
  if (!window_)
    throw std::runtime_error("Cannot create the window " + form.name() + ": error " +
                             std::to_string(GetLastError()));
  controls_ = std::make_unique<ControlSet>(form, window_, ui_.lookOf(form.name()), ui_.pictures());
}

FormWindow::~FormWindow() {
  if (window_) DestroyWindow(window_);
}

void FormWindow::open() {
  runHandler([this] { controller_.onCreate(); });
  if (!isOpen()) return;
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

void FormWindow::close() {
  if (!window_ || destroying_) return;
  // The owner must be usable again before this window goes, or Windows
  // hands the activation to another program.
  if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  DestroyWindow(window_);
}

void FormWindow::showModel() {
  if (isOpen()) controls_->show();
}

void FormWindow::startTimer(const std::string& name, int milliseconds) {
  if (!isOpen()) return;
  auto timer = std::find_if(timers_.begin(), timers_.end(), [&](const auto& t) { return t.first == name; });
  if (timer == timers_.end()) timer = timers_.insert(timers_.end(), {name, nextTimerId_++});
  SetTimer(window_, timer->second, static_cast<UINT>(std::max(0, milliseconds)), nullptr);
}

HWND FormWindow::control(std::string_view component) const {
  return controls_ ? controls_->control(component) : nullptr;
}

HWND FormWindow::radioButton(std::string_view component, int index) const {
  return controls_ ? controls_->radioButton(component, index) : nullptr;
}

template <class Handler>
void FormWindow::runHandler(Handler&& handler) {
  if (!isOpen()) return;
  controls_->read();
  try {
    handler();
  } catch (const std::exception& error) {
    ui_.showError(errorBoxText(error.what()), ui_.applicationTitle());
  } catch (...) {
    ui_.showError("Unexpected error.", ui_.applicationTitle());
  }
  if (!isOpen()) return;  // the window went during the handler
  if (controller_.closeRequested()) {
    close();
    return;
  }
  controls_->show();
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->onMessage(message, wParam, lParam);
}

LRESULT FormWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (controls_ && lParam) onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      onTimer(wParam);
      return 0;
    case WM_SETCURSOR:
      if (controls_ && controls_->isImage(reinterpret_cast<HWND>(wParam))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (controls_ && controls_->keepsWindowColour(reinterpret_cast<HWND>(lParam))) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CLOSE:
      close();
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void FormWindow::onCommand(HWND control, unsigned code) {
  const auto hit = controls_->find(control);
  if (!hit) return;
  const std::string name = hit->component->name;
  switch (hit->component->kind) {
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::RadioGroup:  // a click on one of its buttons
      if (code == BN_CLICKED) runHandler([&] { controller_.onClick(name); });
      break;
    case Kind::Image:
      if (code == STN_CLICKED) runHandler([&] { controller_.onClick(name); });
      break;
    case Kind::ListBox:
      if (code == LBN_DBLCLK) runHandler([&] { controller_.onDoubleClick(name); });
      break;
    default:
      break;
  }
}

void FormWindow::onTimer(UINT_PTR id) {
  KillTimer(window_, id);  // every timer fires once
  auto timer = std::find_if(timers_.begin(), timers_.end(), [&](const auto& t) { return t.second == id; });
  if (timer == timers_.end()) return;
  const std::string name = timer->first;
  timers_.erase(timer);
  runHandler([&] { controller_.onTimer(name); });
}

void FormWindow::onDestroy() {
  for (const auto& timer : timers_) KillTimer(window_, timer.second);
  timers_.clear();
  if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  controls_->read();  // the controls still exist: what the user typed is saved too
  destroying_ = true;
  try {
    controller_.onDestroy();
  } catch (const std::exception& error) {
    ui_.showError(errorBoxText(error.what()), ui_.applicationTitle());
  } catch (...) {
  }
  ui_.windowDestroyed(*this);
}

}  // namespace fennick::ui::win32
