// Creation of the standard Windows controls for the components of a form,
// and the two-way copy between them and the model; relies on user32, gdi32,
// the container windows and the wide-text edge.
#include "control_set.h"

#include <algorithm>
#include <utility>

#include "container_window.h"
#include "core/utf.h"
#include "win32/wide_text.h"

namespace fennick::ui::win32 {
namespace {

// Where a page area shows its pages when the model leaves a page's bounds
// empty: inside its frame, below the tabs.
Bounds pageDisplayArea(const Bounds& pageControl) {
  return {4, 24, std::max(0, pageControl.width - 8), std::max(0, pageControl.height - 28)};
}

bool isContainer(Kind kind) {
  return kind == Kind::Panel || kind == Kind::PageControl || kind == Kind::TabSheet ||
         kind == Kind::GroupBox || kind == Kind::RadioGroup;
}

bool isEditBox(Kind kind) { return kind == Kind::Edit || kind == Kind::Memo; }

HWND createControl(HWND parent, const wchar_t* windowClass, DWORD style, DWORD extendedStyle,
                   const Bounds& bounds, const std::wstring& text, int id) {
  return CreateWindowExW(extendedStyle, windowClass, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style,
                         bounds.left, bounds.top, bounds.width, bounds.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                         nullptr);
}

}  // namespace

ControlSet::ControlSet(Form& form, HWND window, const FormLook& look, const PictureSource& pictures)
    : form_(form), window_(window), look_(look), pictures_(pictures) {
  controls_.reserve(form.components().size());
  for (const auto& component : form.components()) {
    Control control;
    control.component = component.get();
    controls_.push_back(std::move(control));
  }
  for (Control& control : controls_) create(control);
}

const ControlSet::Control* ControlSet::find(std::string_view component) const {
  for (const Control& control : controls_)
    if (equalsIgnoreAsciiCase(control.component->name, component)) return &control;
  return nullptr;
}

HWND ControlSet::parentWindowOf(const Component& component) const {
  if (component.parent.empty()) return window_;
  const Control* parent = find(component.parent);
  if (parent && parent->window && isContainer(parent->component->kind)) return parent->window;
  return window_;  // a parent that is not a container (or not yet made) leaves the form as holder
}

void ControlSet::create(Control& control) {
  Component& model = *control.component;
  const HWND parent = parentWindowOf(model);
  const int id = 100 + static_cast<int>(&control - controls_.data());
  const std::wstring caption = wide(model.caption);
  Bounds bounds = model.bounds;
  switch (model.kind) {
    case Kind::Panel: {
      const bool line = bounds.height <= 4 || bounds.width <= 4;
      control.window = createContainer(parent, line ? ContainerLook::Separator : ContainerLook::Plain,
                                       bounds, L"");
      break;
    }
    case Kind::PageControl:
      control.window = createContainer(parent, ContainerLook::PageFrame, bounds, L"");
      break;
    case Kind::TabSheet: {
      const Control* pageControl = find(model.parent);
      if (pageControl && pageControl->component->kind == Kind::PageControl) {
        control.pageControl = pageControl->component;
        if (bounds.width <= 0 || bounds.height <= 0) bounds = pageDisplayArea(pageControl->component->bounds);
        control.sheetIndex = 0;
        for (const Control& other : controls_) {
          if (&other == &control) break;
          if (other.component->kind == Kind::TabSheet &&
              equalsIgnoreAsciiCase(other.component->parent, model.parent))
            ++control.sheetIndex;
        }
      }
      control.window = createContainer(parent, ContainerLook::Plain, bounds, L"");
      break;
    }
    case Kind::GroupBox:
    case Kind::RadioGroup:
      control.window = createContainer(parent, ContainerLook::GroupFrame, bounds, L"");
      break;
    case Kind::Label:
      control.window = createControl(parent, L"STATIC", SS_LEFTNOWORDWRAP, 0, bounds, L"", id);
      break;
    case Kind::Button:
      control.window = createControl(parent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, bounds, L"", id);
      break;
    case Kind::CheckBox:
      control.window = createControl(parent, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, bounds, L"", id);
      break;
    case Kind::Edit: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      if (model.password) style |= ES_PASSWORD;
      if (model.readOnly) style |= ES_READONLY;
      control.window = createControl(parent, L"EDIT", style, WS_EX_CLIENTEDGE, bounds, L"", id);
      if (model.password) SendMessageW(control.window, EM_SETPASSWORDCHAR, L'*', 0);
      break;
    }
    case Kind::Memo: {
      DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP;
      if (model.readOnly) style |= ES_READONLY;
      if (model.verticalScrollBar) style |= WS_VSCROLL;
      if (!model.wordWrap) style |= ES_AUTOHSCROLL | WS_HSCROLL;
      control.window = createControl(parent, L"EDIT", style, WS_EX_CLIENTEDGE, bounds, L"", id);
      SendMessageW(control.window, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);  // a long log is not cut
      break;
    }
    case Kind::ComboBox: {
      Bounds withList = bounds;
      withList.height += 200;  // the height of a drop-down list includes its open list
      control.window = createControl(parent, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                                     withList, L"", id);
      break;
    }
    case Kind::ListBox:
      control.window = createControl(
          parent, L"LISTBOX", LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
          WS_EX_CLIENTEDGE, bounds, L"", id);
      break;
    case Kind::Image:
      control.window =
          createControl(parent, L"STATIC", SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY, 0, bounds, L"", id);
      break;
    case Kind::Hidden:
      break;
  }
}

HFONT ControlSet::font(int height, bool bold) {
  for (const CachedFont& cached : fonts_)
    if (cached.height == height && cached.bold == bold) return cached.font.get();
  const std::wstring face = wide(look_.fontName);
  HFONT made = CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  fonts_.push_back({height, bold, OwnedFont(made)});
  return made;
}

bool ControlSet::effectiveVisible(const Control& control) const {
  if (!control.component->visible) return false;
  if (control.pageControl) return control.pageControl->itemIndex == control.sheetIndex;
  return true;
}

void ControlSet::show() {
  for (Control& control : controls_)
    if (control.window) showControl(control);

  if (form_.focus() != shownFocus_) {
    shownFocus_ = form_.focus();
    HWND target = control(shownFocus_);
    if (const Control* group = find(shownFocus_); group && !group->radios.empty()) {
      const int index = group->component->itemIndex;
      target = group->radios[index >= 0 && index < static_cast<int>(group->radios.size()) ? index : 0];
    }
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetFocus(target);
  }
  focusWindow_ = GetFocus();

  const std::wstring caption = wide(form_.caption());
  if (windowText(window_) != caption) SetWindowTextW(window_, caption.c_str());
}

void ControlSet::showControl(Control& control) {
  Component& model = *control.component;
  Shown& shown = control.shown;
  const bool all = control.fresh;
  control.fresh = false;

  HFONT wanted = font(model.fontHeight > 0 ? model.fontHeight : look_.fontHeight, model.bold);
  const bool fontChanged = all || wanted != shown.font;
  shown.font = wanted;
  if (fontChanged) SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(wanted), TRUE);

  showItems(control, all);
  if (fontChanged)
    for (HWND radio : control.radios) SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(wanted), TRUE);

  if (all || model.caption != shown.caption) {
    std::string previous = std::exchange(shown.caption, model.caption);
    showText(control, all ? std::string() : std::move(previous));
  }

  switch (model.kind) {
    case Kind::CheckBox:
      if (all || model.checked != shown.checked) {
        SendMessageW(control.window, BM_SETCHECK, model.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        shown.checked = model.checked;
      }
      break;
    case Kind::RadioGroup:
    case Kind::ComboBox:
    case Kind::PageControl:
      if (all || model.itemIndex != shown.itemIndex) {
        shown.itemIndex = model.itemIndex;
        if (model.kind == Kind::ComboBox) {
          const bool inRange = model.itemIndex >= 0 && model.itemIndex < static_cast<int>(model.items.size());
          SendMessageW(control.window, CB_SETCURSEL, inRange ? model.itemIndex : -1, 0);
        }
        for (std::size_t i = 0; i < control.radios.size(); ++i)
          SendMessageW(control.radios[i], BM_SETCHECK,
                       static_cast<int>(i) == model.itemIndex ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      break;
    default:
      break;
  }

  if (all || model.enabled != shown.enabled) {
    shown.enabled = model.enabled;
    EnableWindow(control.window, model.enabled);
    for (HWND radio : control.radios) EnableWindow(radio, model.enabled);
  }
  const bool visible = effectiveVisible(control);
  if (all || visible != shown.visible) {
    shown.visible = visible;
    ShowWindow(control.window, visible ? SW_SHOWNA : SW_HIDE);
  }
}

void ControlSet::showText(Control& control, const std::string& previous) {
  const Component& model = *control.component;
  Shown& shown = control.shown;
  switch (model.kind) {
    case Kind::Label:
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::GroupBox:
    case Kind::RadioGroup:
    case Kind::Edit:
      shown.text = wide(model.caption);
      SetWindowTextW(control.window, shown.text.c_str());
      break;
    case Kind::Image: {
      OwnedBitmap picture = pictures_ ? bitmapFromBmpFile(pictures_(model.caption)) : nullptr;
      SendMessageW(control.window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
      control.picture = std::move(picture);  // the control does not own it; the old one goes now
      // A static control may size itself to its picture; the model decides.
      const Bounds& at = model.bounds;
      SetWindowPos(control.window, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case Kind::Memo: {
      // A log only grows: appending the new tail keeps what is shown in
      // place (no flicker) and converts only the new text. A CR at the old
      // end might pair with an LF at the new start, so that case is redone whole.
      const std::string& now = model.caption;
      const bool grows = !previous.empty() && !shown.text.empty() && now.size() > previous.size() &&
                         previous.back() != '\r' && now.compare(0, previous.size(), previous) == 0;
      if (grows) {
        const std::wstring tail = withCrLf(wide(std::string_view(now).substr(previous.size())));
        const auto end = static_cast<WPARAM>(shown.text.size());
        SendMessageW(control.window, EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessageW(control.window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tail.c_str()));
        shown.text += tail;
      } else {
        shown.text = withCrLf(wide(now));
        SetWindowTextW(control.window, shown.text.c_str());
      }
      const auto end = static_cast<WPARAM>(shown.text.size());
      SendMessageW(control.window, EM_SETSEL, end, static_cast<LPARAM>(end));
      SendMessageW(control.window, EM_SCROLLCARET, 0, 0);
      break;
    }
    default:
      break;
  }
}

void ControlSet::showItems(Control& control, bool all) {
  Component& model = *control.component;
  Shown& shown = control.shown;
  const Kind kind = model.kind;
  if (kind != Kind::RadioGroup && kind != Kind::ComboBox && kind != Kind::ListBox) return;
  const bool itemsChanged = all || model.items != shown.items ||
                            (kind == Kind::RadioGroup && control.radios.size() != model.items.size());
  if (itemsChanged) {
    shown.items = model.items;
    if (kind == Kind::RadioGroup) {
      showRadioButtons(control, shown.font);
      shown.itemIndex = -2;  // checks are set again below
    } else {
      const UINT reset = kind == Kind::ComboBox ? CB_RESETCONTENT : LB_RESETCONTENT;
      const UINT add = kind == Kind::ComboBox ? CB_ADDSTRING : LB_ADDSTRING;
      SendMessageW(control.window, WM_SETREDRAW, FALSE, 0);
      SendMessageW(control.window, reset, 0, 0);
      for (const std::string& item : model.items) {
        const std::wstring text = wide(item);
        SendMessageW(control.window, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
      SendMessageW(control.window, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(control.window, nullptr, TRUE);
      shown.itemIndex = -2;
    }
  }
  if (kind == Kind::ListBox) showListSelection(control, itemsChanged);
}

void ControlSet::showRadioButtons(Control& control, HFONT font) {
  for (HWND radio : control.radios) DestroyWindow(radio);
  control.radios.clear();
  const Component& model = *control.component;
  const int count = static_cast<int>(model.items.size());
  if (count == 0) return;
  const int columns = std::max(1, model.columns);
  const int perColumn = (count + columns - 1) / columns;
  const int top = look_.fontHeight + 4;
  const int rowHeight = std::max(0, (model.bounds.height - top - 4) / perColumn);
  const int columnWidth = std::max(0, (model.bounds.width - 16) / columns);
  const int buttonHeight = look_.fontHeight + 6;
  for (int i = 0; i < count; ++i) {
    const Bounds at{8 + (i / perColumn) * columnWidth,
                    top + (i % perColumn) * rowHeight + std::max(0, (rowHeight - buttonHeight) / 2),
                    columnWidth, buttonHeight};
    DWORD style = BS_AUTORADIOBUTTON | WS_VISIBLE | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
    HWND radio = createControl(control.window, L"BUTTON", style, 0, at, wide(model.items[static_cast<std::size_t>(i)]),
                               1000 + i);
    SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EnableWindow(radio, model.enabled);
    control.radios.push_back(radio);
  }
}

void ControlSet::showListSelection(Control& control, bool itemsChanged) {
  const Component& model = *control.component;
  Shown& shown = control.shown;
  const std::size_t count = model.items.size();
  if (itemsChanged) shown.selected.assign(count, false);  // a refilled list has nothing selected
  for (std::size_t i = 0; i < count; ++i) {
    const bool wanted = model.isSelected(i);
    if (wanted != shown.selected[i])
      SendMessageW(control.window, LB_SETSEL, wanted ? TRUE : FALSE, static_cast<LPARAM>(i));
    shown.selected[i] = wanted;
  }
  if (itemsChanged || model.caret != shown.caret) {
    if (model.caret >= 0 && model.caret < static_cast<int>(count))
      SendMessageW(control.window, LB_SETCARETINDEX, static_cast<WPARAM>(model.caret), FALSE);
    shown.caret = model.caret;
  }
  shown.controlCaret = static_cast<int>(SendMessageW(control.window, LB_GETCARETINDEX, 0, 0));
}

void ControlSet::read() {
  for (Control& control : controls_)
    if (control.window && !control.fresh) readControl(control);

  HWND focused = GetFocus();
  if (focused && focused != focusWindow_) {
    if (auto hit = find(focused)) {
      form_.setFocus(hit->component->name);
      shownFocus_ = hit->component->name;
    }
    focusWindow_ = focused;
  }
}

void ControlSet::readControl(Control& control) {
  Component& model = *control.component;
  Shown& shown = control.shown;
  switch (model.kind) {
    case Kind::Edit:
    case Kind::Memo:
      if (!model.readOnly) {
        std::wstring text = windowText(control.window);
        if (text != shown.text) {
          model.caption = narrow(text);
          shown.caption = model.caption;
          shown.text = std::move(text);
        }
      }
      break;
    case Kind::CheckBox: {
      const bool checked = SendMessageW(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (checked != shown.checked) model.checked = shown.checked = checked;
      break;
    }
    case Kind::RadioGroup: {
      int index = -1;
      for (std::size_t i = 0; i < control.radios.size(); ++i)
        if (SendMessageW(control.radios[i], BM_GETCHECK, 0, 0) == BST_CHECKED) index = static_cast<int>(i);
      if (index != shown.itemIndex) model.itemIndex = shown.itemIndex = index;
      break;
    }
    case Kind::ComboBox: {
      const LRESULT index = SendMessageW(control.window, CB_GETCURSEL, 0, 0);
      const int value = index == CB_ERR ? -1 : static_cast<int>(index);
      if (value != shown.itemIndex) model.itemIndex = shown.itemIndex = value;
      break;
    }
    case Kind::ListBox: {
      if (model.items != shown.items) break;  // changed by the logic since shown: the logic's wins
      model.selected.resize(model.items.size(), false);
      for (std::size_t i = 0; i < shown.selected.size(); ++i) {
        const bool selected = SendMessageW(control.window, LB_GETSEL, i, 0) > 0;
        if (selected != shown.selected[i]) model.selected[i] = shown.selected[i] = selected;
      }
      const int caret = static_cast<int>(SendMessageW(control.window, LB_GETCARETINDEX, 0, 0));
      if (caret != shown.controlCaret) model.caret = shown.caret = shown.controlCaret = caret;
      break;
    }
    default:
      break;
  }
}

std::optional<ControlSet::Hit> ControlSet::find(HWND window) const {
  if (!window) return std::nullopt;
  for (const Control& control : controls_) {
    if (control.window == window) return Hit{control.component, -1};
    for (std::size_t i = 0; i < control.radios.size(); ++i)
      if (control.radios[i] == window) return Hit{control.component, static_cast<int>(i)};
  }
  return std::nullopt;
}

HWND ControlSet::control(std::string_view component) const {
  const Control* control = find(component);
  return control ? control->window : nullptr;
}

HWND ControlSet::radioButton(std::string_view component, int index) const {
  const Control* control = find(component);
  if (!control || index < 0 || index >= static_cast<int>(control->radios.size())) return nullptr;
  return control->radios[static_cast<std::size_t>(index)];
}

bool ControlSet::isImage(HWND window) const {
  auto hit = find(window);
  return hit && hit->component->kind == Kind::Image;
}

bool ControlSet::keepsWindowColour(HWND window) const {
  auto hit = find(window);
  return hit && isEditBox(hit->component->kind) && hit->component->readOnly && hit->component->enabled;
}

}  // namespace fennick::ui::win32
