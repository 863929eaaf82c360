// What the program logic asks of the user interface beyond its forms:
// message boxes, the save dialog, the shell, message pumping.
//
// Windows implements it with the real dialogs; tests implement it with
// scripted answers.
#pragma once

#include <optional>
#include <string>

namespace fennick::ui {

struct SaveDialogRequest {
  std::string fileName;       // the name to start with (its folder is the start folder)
  std::string initialFolder;  // used when fileName is empty
  std::string defaultExtension;  // "mdb", appended when the typed name has none
  std::string filter;            // "MS Access Databases (.mdb)|*.mdb"
};

class UiServices {
 public:
  virtual ~UiServices() = default;

  // A plain message box: OK button, no icon.
  virtual void showMessage(const std::string& text, const std::string& title) = 0;
  // The error box: error icon, OK button.
  virtual void showError(const std::string& text, const std::string& title) = 0;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
  // The save dialog; the chosen full path, or nullopt when cancelled.
  virtual std::optional<std::string> saveFile(const SaveDialogRequest& request) = 0;
  // Hands a document or address to the shell's default action.
  virtual void shellOpen(const std::string& target) = 0;
  // Lets the user interface handle pending messages (repaint, a click on
  // Stop) in the middle of long work.
  virtual void pumpMessages() = 0;
  // Arms a one-shot timer: after `milliseconds` the view calls the
  // controller's onTimer(name) once, from the message loop.
  virtual void startTimer(const std::string& name, int milliseconds) = 0;
  // Shows another form modally and returns when it is closed.
  virtual void showModal(class FormController& controller) = 0;
};

// The error box's text: the message with a full stop added when its last
// character sorts above "." in character-code order.
std::string errorBoxText(const std::string& message);

}  // namespace fennick::ui
