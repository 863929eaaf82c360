// The main window's definition as the view builds it: parents before
// children, unique names, controls inside their containers, and a
// component of the right class for every caption line that has one.
#include <set>

#include "core/utf.h"
#include "main_form_test_base.h"
#include "resources/resources.h"

namespace fennick::test {
namespace {

using LayoutTest = MainFormTest;

TEST_F(LayoutTest, ParentsComeFirstAndChildrenFitInside) {
  start();
  const ui::Form& f = window->form();
  EXPECT_EQ(f.clientWidth(), 594);
  EXPECT_EQ(f.clientHeight(), 425);
  std::set<std::string> seen;
  for (const auto& comp : f.components()) {
    SCOPED_TRACE(comp->name);
    EXPECT_TRUE(seen.insert(asciiLower(comp->name)).second) << "name used twice";
    if (comp->parent.empty()) continue;
    ASSERT_TRUE(seen.count(asciiLower(comp->parent))) << "parent created later or missing";
    if (!comp->visible || comp->kind == ui::Kind::Hidden) continue;
    const ui::Bounds& outer = f[comp->parent].bounds;
    const ui::Bounds& inner = comp->bounds;
    EXPECT_GE(inner.left, 0);
    EXPECT_GE(inner.top, 0);
    // The BLOB check box is designed 200 wide at 241: the page clips the
    // blank end of it.
    if (comp->name != "chkblobtotext") {
      EXPECT_LE(inner.left + inner.width, outer.width);
    }
    EXPECT_LE(inner.top + inner.height, outer.height);
  }
}

TEST_F(LayoutTest, EveryCaptionLineWithAComponentFindsOneOfItsClass) {
  start();
  const auto table = findResource("ENGLISH", "CAPTIONS");
  ASSERT_TRUE(table.has_value());
  const std::set<std::string> withoutComponent = {"Label25", "Label33"};
  std::size_t start = 0;
  int checked = 0;
  while (start < table->size()) {
    std::size_t end = table->find('\n', start);
    if (end == std::string_view::npos) end = table->size();
    const std::string name(table->substr(start, table->find('=', start) - start));
    start = end + 1;
    if (withoutComponent.count(name)) {
      EXPECT_EQ(window->form().find(name), nullptr) << name;
      continue;
    }
    const ui::Component* comp = window->form().find(name);
    ASSERT_NE(comp, nullptr) << name;
    EXPECT_TRUE(ui::isCaptioned(comp->kind)) << name;
    ++checked;
  }
  EXPECT_EQ(checked, 46);
}

TEST_F(LayoutTest, PageControlsAsTheUserSeesThem) {
  start();
  EXPECT_TRUE(c("edtoraclepassword").password);
  EXPECT_TRUE(c("editaccessname").readOnly);
  EXPECT_EQ(c("availabletables").kind, ui::Kind::ListBox);
  EXPECT_EQ(c("selecttables").kind, ui::Kind::ListBox);
  EXPECT_EQ(c("processtable").itemIndex, 0);
  EXPECT_EQ(c("cbaccessformat").items,
            (std::vector<std::string>{"MS Access 95/97", "MS Access 2000"}));
  EXPECT_EQ(c("cbaccessformat").itemIndex, 0);
  for (const char* never : {"chkuppercase", "accessmode", "edtdatabase", "edtname", "edtpassword",
                            "edthost", "edtport", "helpurl", "queryclose", "nullaccessname",
                            "Label2", "Label29", "Label30", "Label32"})
    EXPECT_FALSE(c(never).visible) << never;
  EXPECT_EQ(c("SaveDialog1").kind, ui::Kind::Hidden);
}

}  // namespace
}  // namespace fennick::test
