// A stand-in main window that holds one component of every kind, so the
// Windows view can be seen and tried before the wizard's own main window
// is part of the program.
#pragma once

#include <string>
#include <vector>

#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick::demo {

class DemoForm final : public ui::FormController {
 public:
  DemoForm(ui::UiServices& ui, std::vector<std::string> arguments);

  ui::Form& form() override { return form_; }
  void onCreate() override;
  void onClick(const std::string& component) override;
  void onDoubleClick(const std::string& component) override;
  void onTimer(const std::string& timer) override;
  bool closeRequested() const override { return closing_; }

 private:
  void showPage(int page);
  void log(const std::string& line);

  ui::UiServices& ui_;
  std::vector<std::string> arguments_;
  ui::Form form_;
  int ticks_ = 0;
  bool closing_ = false;
};

// A small picture (the bytes of a .bmp file) for the demo's Image.
std::string demoPicture();

}  // namespace fennick::demo
