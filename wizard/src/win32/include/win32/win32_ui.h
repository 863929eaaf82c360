// The user interface services on Windows: the windows of the forms, the
// message loop, modal forms, timers and the system dialogs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "win32/dialogs.h"
#include "win32/form_look.h"
#include "win32/form_window.h"
#include "wizard/ui_services.h"

namespace fennick::ui::win32 {

class Win32Ui final : public UiServices {
 public:
  // `applicationTitle` titles the error box and the message boxes the view
  // shows itself.
  explicit Win32Ui(std::string applicationTitle, Dialogs dialogs = Dialogs::system());
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  // The look of the form of that name (others get the default look).
  void setLook(const std::string& formName, FormLook look);
  void setPictures(PictureSource pictures) { pictures_ = std::move(pictures); }

  // Creates and shows the program's main window; its end ends run(). The
  // controller must outlive the window (the window's end calls onDestroy).
  FormWindow& openMain(FormController& controller);
  // The message loop, until the main window is gone; the exit code.
  int run();
  // Closes the main window if it is still open (its onDestroy runs).
  void closeMain();

  // The open window that has the user's attention (the innermost modal
  // one), or null.
  FormWindow* activeWindow() const;

  const std::string& applicationTitle() const { return applicationTitle_; }
  FormLook lookOf(const std::string& formName) const;
  const PictureSource& pictures() const { return pictures_; }
  // Called by a window as it is destroyed.
  void windowDestroyed(FormWindow& window);

  void showMessage(const std::string& text, const std::string& title) override;
  void showError(const std::string& text, const std::string& title) override;
  bool askYesNo(const std::string& text, const std::string& title) override;
  std::optional<std::string> saveFile(const SaveDialogRequest& request) override;
  void shellOpen(const std::string& target) override;
  void pumpMessages() override;
  void startTimer(const std::string& name, int milliseconds) override;
  void showModal(FormController& controller) override;

 private:
  int messageBox(const std::string& text, const std::string& title, UINT type);
  void dispatch(MSG& message);

  std::string applicationTitle_;
  Dialogs dialogs_;
  std::vector<std::pair<std::string, FormLook>> looks_;
  PictureSource pictures_;
  std::unique_ptr<FormWindow> main_;
  std::vector<FormWindow*> open_;  // in the order they were opened
};

}  // namespace fennick::ui::win32
