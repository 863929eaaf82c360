// The main window's settings controls, as the wizard designs them, for the
// tests of loading and saving.
#pragma once

#include "wizard/form.h"

namespace fennick::test {

ui::Form settingsForm();

}  // namespace fennick::test
