// The windows of the program as data: a form and its components, each with
// the state a control shows (caption or text, items, selection, check mark,
// enabled, visible, position).
//
// The program logic (page changes, the table picker, the saved settings,
// the parameter file) reads and changes only this model, so it runs and is
// tested on every system. On Windows a view creates the real controls from
// it, copies what the user types or clicks into it before a handler runs,
// and shows the model again after every handler and whenever messages are
// pumped.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fennick::ui {

enum class Kind {
  Panel,        // a plain container
  PageControl,  // a page area whose pages are TabSheets
  TabSheet,
  Label,
  Button,
  Edit,        // single-line edit box
  CheckBox,
  RadioGroup,  // a framed group of radio buttons, `items` and `itemIndex`
  GroupBox,
  ComboBox,  // drop-down list without typing
  ListBox,   // with extended multiple selection
  Memo,      // multi-line text (`caption` holds the whole text)
  Image,  // `caption` names the picture: a carried resource of type BITMAP
  Hidden,  // a value the form keeps without any visible control
};

// True for the classes whose caption the language tables set.
bool isCaptioned(Kind kind);

// The designed heights of the standard controls, in pixels.
inline constexpr int kLabelHeight = 13;
inline constexpr int kEditHeight = 21;
inline constexpr int kCheckHeight = 17;
inline constexpr int kButtonHeight = 25;

struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
};

struct Component {
  std::string name;
  Kind kind = Kind::Hidden;
  std::string parent;  // name of the containing component, empty for the form itself
  Bounds bounds;

  std::string caption;  // caption, or the text of an Edit / Memo
  bool enabled = true;
  bool visible = true;
  bool bold = false;
  int fontHeight = 0;  // 0: the form's font

  // Edit
  bool readOnly = false;
  bool password = false;  // shown as "*"

  // CheckBox
  bool checked = false;

  // RadioGroup, ComboBox, ListBox, PageControl (active page index)
  std::vector<std::string> items;
  int itemIndex = -1;
  int columns = 1;  // RadioGroup

  // ListBox
  std::vector<bool> selected;  // parallel to items
  int caret = -1;              // the focused item
  bool sorted = false;         // keeps items sorted without regard to case

  // Hidden save dialog: `caption` is its file name, this its start folder.
  std::string initialFolder;

  // Memo
  bool wordWrap = false;
  bool verticalScrollBar = false;

  // ListBox helpers that keep `selected` parallel to `items`.
  void addItem(std::string text);
  void insertItem(std::size_t at, std::string text);
  void deleteItem(std::size_t at);
  void clearItems();
  // Re-sorts the items the way the list control does (case-insensitive,
  // stable) and clears the selection.
  void sortItems();
  bool isSelected(std::size_t at) const { return at < selected.size() && selected[at]; }
};

class Form {
 public:
  Form(std::string name, std::string caption, int clientWidth, int clientHeight)
      : name_(std::move(name)), caption_(std::move(caption)),
        clientWidth_(clientWidth), clientHeight_(clientHeight) {}

  // Adds a component; components keep their order of creation.
  Component& add(std::string name, Kind kind, std::string parent, Bounds bounds,
                 std::string caption = {});

  // The component of that name; throws when there is none (a programming
  // error in the form's definition).
  Component& operator[](std::string_view name);
  const Component& operator[](std::string_view name) const;
  Component* find(std::string_view name);

  const std::vector<std::unique_ptr<Component>>& components() const { return components_; }

  const std::string& name() const { return name_; }
  std::string caption() const { return caption_; }
  void setCaption(std::string caption) { caption_ = std::move(caption); }
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }

  // The component that has the input focus.
  const std::string& focus() const { return focus_; }
  void setFocus(std::string name) { focus_ = std::move(name); }

 private:
  std::string name_;
  std::string caption_;
  int clientWidth_, clientHeight_;
  std::string focus_;
  std::vector<std::unique_ptr<Component>> components_;
};

// A form's behaviour: the view calls these as the user acts. Event names
// are component names ("btnext", "availabletables"); a handler that throws
// ends the action, and the view shows the error box.
class FormController {
 public:
  virtual ~FormController() = default;
  virtual Form& form() = 0;
  // After the view has created the controls, before the form is shown.
  virtual void onCreate() {}
  virtual void onClick(const std::string& component) { (void)component; }
  virtual void onDoubleClick(const std::string& component) { (void)component; }
  // A timer the controller armed through UiServices fired.
  virtual void onTimer(const std::string& timer) { (void)timer; }
  // The window is being destroyed (every end of the program passes here).
  virtual void onDestroy() {}
  // Set when the logic asks for its window to be closed.
  virtual bool closeRequested() const { return false; }
};

}  // namespace fennick::ui
