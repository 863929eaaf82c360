// The top-level window of one form: creates the controls from the model,
// turns the user's clicks into the controller's handlers, and keeps model
// and controls in step around every handler.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/form_look.h"
#include "wizard/form.h"

namespace fennick::ui::win32 {

class ControlSet;
class Win32Ui;

class FormWindow {
 public:
  // Creates the window (hidden) and its controls; `owner` stays below it.
  FormWindow(Win32Ui& ui, FormController& controller, HWND owner);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Runs the controller's onCreate, shows the model and the window, centred
  // on the screen.
  void open();
  // Closes the window; the controller's onDestroy runs on the way.
  void close();
  bool isOpen() const { return window_ != nullptr && !destroying_; }

  // The model into the controls (only what changed).
  void showModel();
  // Calls the controller's onTimer(name) once after `milliseconds`.
  void startTimer(const std::string& name, int milliseconds);

  HWND handle() const { return window_; }
  FormController& controller() { return controller_; }
  // The control of a component; null for a Hidden one.
  HWND control(std::string_view component) const;
  HWND radioButton(std::string_view component, int index) const;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(HWND control, unsigned code);
  void onTimer(UINT_PTR id);
  void onDestroy();
  // Reads the controls into the model, runs the handler, shows the error
  // box when it throws, then closes or shows the model again.
  template <class Handler>
  void runHandler(Handler&& handler);

  Win32Ui& ui_;
  FormController& controller_;
  HWND owner_;
  HWND window_ = nullptr;
  bool destroying_ = false;
  std::unique_ptr<ControlSet> controls_;
  std::vector<std::pair<std::string, UINT_PTR>> timers_;
  UINT_PTR nextTimerId_ = 1;
};

}  // namespace fennick::ui::win32
