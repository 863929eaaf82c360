// The shortcut window `Tmarfrm_bat`: shows a copy of the wizard's job, lets
// the user change a few settings for the shortcut only, and writes the
// parameter file and the shortcut that replays it.
//
// It reads the main window only as a ui::Form (its components by name) and
// changes nothing there. It is created once and keeps the radio group's
// choice, the list's visibility and the last shortcut name for as long as
// the program runs.
#pragma once

#include <functional>
#include <string>

#include "batch/parameter_file.h"
#include "platform/shortcut.h"
#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick {

// The window's font; every component carries its height.
inline constexpr const char* kShortcutWindowFont = "Tahoma";
inline constexpr int kShortcutWindowFontHeight = 11;

class Tmarfrm_bat : public ui::FormController {
 public:
  using ShortcutWriter =
      std::function<void(const std::string& shortcutPath, const platform::ShortcutLink&)>;

  // `title` heads the message and error boxes (the application title).
  // `writeShortcut` is the platform's shortcut service unless a test
  // supplies another.
  Tmarfrm_bat(ui::UiServices& ui, std::string title,
              ShortcutWriter writeShortcut = platform::createShortcut);

  ui::Form& form() override { return form_; }
  void onCreate() override;  // FormCreate: the captions
  // Runs the click handlers; their errors go to the error box.
  void onClick(const std::string& component) override;
  bool closeRequested() const override { return closeRequested_; }

  // Copies the job from the main window and shows this window modally.
  // Throws "List index out of bounds (<n>)" when the main window has no
  // existing-table choice; the window does not open then.
  void btcreatebatClick(const ui::Form& wizard);
  void rgselecttableClick();
  void bttableselectClick();
  // Asks for the shortcut's name, writes the parameter file and the
  // shortcut, and announces the three names. Throws the file's or the
  // shell's error; the window stays open then.
  void Button1Click();

  // The job as this window holds it now.
  ShortcutJob jobFromControls() const;

 private:
  void defineComponents();

  ui::UiServices& ui_;
  std::string title_;
  ShortcutWriter writeShortcut_;
  ui::Form form_;
  // The main window's choices that this window shows only as text or not at all.
  int accessmode_ = 0;
  int processtableIndex_ = 0;
  std::string lastShortcutName_;
  bool closeRequested_ = false;
};

}  // namespace fennick
