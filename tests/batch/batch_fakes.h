// A user interface with scripted answers, and the main window whose
// controls the batch code reads and fills.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wizard/main_form.h"
#include "wizard/ui_services.h"

namespace fennick::test {

struct Shown {
  std::string text, title;
};

class ScriptedUi : public ui::UiServices {
 public:
  std::vector<Shown> messages, errors;
  std::vector<ui::SaveDialogRequest> saveRequests;
  std::optional<std::string> saveAnswer;
  std::vector<std::pair<std::string, int>> timers;
  int modalShown = 0;

  void showMessage(const std::string& text, const std::string& title) override {
    messages.push_back({text, title});
  }
  void showError(const std::string& text, const std::string& title) override {
    errors.push_back({text, title});
  }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> saveFile(const ui::SaveDialogRequest& request) override {
    saveRequests.push_back(request);
    return saveAnswer;
  }
  void shellOpen(const std::string&) override {}
  void pumpMessages() override {}
  void startTimer(const std::string& name, int milliseconds) override {
    timers.emplace_back(name, milliseconds);
  }
  void showModal(ui::FormController&) override { ++modalShown; }
};

// The real main window, as the batch code meets it: a form of named
// components, its caption the application title.
inline std::unique_ptr<Taaform1> mainWindow(ui::UiServices& ui) {
  auto window = std::make_unique<Taaform1>(ui, TargetOpener{});
  window->form().setCaption(kApplicationTitle);
  return window;
}

}  // namespace fennick::test
