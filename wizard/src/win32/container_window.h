// The plain child window that holds other controls (panels, page areas,
// pages, group frames). Standard controls send their notifications to their
// parent; a container passes them on to the form's window, where the view
// handles them.
#pragma once

#include <windows.h>

#include <string>

#include "wizard/form.h"

namespace fennick::ui::win32 {

enum class ContainerLook {
  Plain,       // background only
  Separator,   // an etched line: a panel a few pixels thin
  PageFrame,   // the raised frame of a page area below its (hidden) tabs
  GroupFrame,  // an etched frame with the caption in its top edge
};

// A container at `bounds` inside `parent`, created hidden.
HWND createContainer(HWND parent, ContainerLook look, const Bounds& bounds, const std::wstring& caption);

}  // namespace fennick::ui::win32
