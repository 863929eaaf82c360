// The real controls of one form: one per component, created from the model,
// shown from it (only what changed since it was last shown) and read back
// into it (only what the user changed).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/bitmap.h"
#include "win32/form_look.h"
#include "wizard/form.h"

namespace fennick::ui::win32 {

class ControlSet {
 public:
  ControlSet(Form& form, HWND window, const FormLook& look, const PictureSource& pictures);
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  // The model into the controls; the first call shows everything.
  void show();
  // What the user typed, ticked or selected into the model.
  void read();

  struct Hit {
    Component* component;
    int radioButton;  // the item of a RadioGroup, -1 otherwise
  };
  // The component a control belongs to.
  std::optional<Hit> find(HWND control) const;

  // The control of a component (for a RadioGroup its frame); null for a
  // Hidden component or an unknown name.
  HWND control(std::string_view component) const;
  HWND radioButton(std::string_view component, int index) const;

  bool isImage(HWND control) const;
  // Read-only edit boxes keep the window colour, as the user expects of a
  // field that shows a value.
  bool keepsWindowColour(HWND control) const;

 private:
  struct Shown {
    std::string caption;
    std::wstring text;  // as the edit control holds it
    bool enabled = true;
    bool visible = false;
    HFONT font = nullptr;
    bool checked = false;
    std::vector<std::string> items;
    int itemIndex = -1;
    std::vector<bool> selected;
    int caret = -1;
    int controlCaret = -1;  // what the list reported after the caret was set
  };
  struct Control {
    Component* component = nullptr;
    HWND window = nullptr;
    std::vector<HWND> radios;
    OwnedBitmap picture;
    const Component* pageControl = nullptr;  // of a TabSheet
    int sheetIndex = -1;
    bool fresh = true;
    Shown shown;
  };
  struct CachedFont {
    int height;
    bool bold;
    OwnedFont font;
  };

  void create(Control& control);
  HWND parentWindowOf(const Component& component) const;
  const Control* find(std::string_view component) const;
  HFONT font(int height, bool bold);
  void showControl(Control& control);
  // `previous`: the text shown before, empty when nothing was shown yet.
  void showText(Control& control, const std::string& previous);
  void showItems(Control& control, bool all);
  void showRadioButtons(Control& control, HFONT font);
  void showListSelection(Control& control, bool itemsChanged);
  void readControl(Control& control);
  bool effectiveVisible(const Control& control) const;

  Form& form_;
  HWND window_;
  FormLook look_;
  PictureSource pictures_;
  std::vector<Control> controls_;
  std::vector<CachedFont> fonts_;
  std::string shownFocus_;
  HWND focusWindow_ = nullptr;
};

}  // namespace fennick::ui::win32
