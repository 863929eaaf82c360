// A main window started with the scripted user interface and the fake
// engine, and the walk through the pages most tests begin with.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "wizard_fakes.h"

namespace fennick::test {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    BatchMode = false;
    engine.schemaTables = {"EMP", "DEPT", "BONUS"};
  }
  void TearDown() override {
    StopRequested = false;
    BatchMode = false;
  }

  Taaform1& start(MainFormHooks hooks = {}) {
    window = std::make_unique<Taaform1>(ui, noTarget(), std::move(hooks), engine.wire());
    window->onCreate();
    return *window;
  }
  ui::Component& c(const char* name) { return window->form()[name]; }
  void click(const char* name) { window->onClick(name); }

  // Page 1 to page 5 with a service, a user and a target file named.
  void walkToPage5() {
    click("btnext");
    c("edtservice").caption = "orcl";
    c("edtoracleusername").caption = "scott";
    c("edtoraclepassword").caption = "tiger";
    click("btnext");
    c("SaveDialog1").caption = "C:\\data\\scott.mdb";
    c("editaccessname").caption = "C:\\data\\scott.mdb";
    click("btnext");
    ASSERT_EQ(window->wizardPage(), 5);
  }
  void selectEntries(const char* list, std::vector<std::string> names) {
    ui::Component& l = c(list);
    for (std::size_t i = 0; i < l.items.size(); ++i)
      for (const auto& n : names)
        if (l.items[i] == n) l.selected[i] = true;
  }

  ScriptedUi ui;
  FakeEngine engine;
  std::unique_ptr<Taaform1> window;
};

}  // namespace fennick::test
