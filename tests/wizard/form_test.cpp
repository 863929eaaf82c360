#include <gtest/gtest.h>

#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick::ui {
namespace {

TEST(Form, ComponentsByNameInCreationOrder) {
  Form form("Taaform1", "Fennick 4.0", 594, 425);
  form.add("Label1", Kind::Label, "", {13, 24, 150, 13}, "Welcome");
  form.add("btnext", Kind::Button, "", {168, 8, 75, 25}, "Next >");
  EXPECT_EQ(form["label1"].caption, "Welcome");
  EXPECT_EQ(form.components()[1]->name, "btnext");
  EXPECT_EQ(form.find("nothing"), nullptr);
  EXPECT_THROW(form["nothing"], std::logic_error);
}

TEST(Form, SortedListsKeepCaseInsensitiveOrder) {
  Component list;
  list.addItem("b");
  list.addItem("A");
  list.selected[1] = true;
  list.sorted = true;
  list.sortItems();
  EXPECT_EQ(list.items, (std::vector<std::string>{"A", "b"}));
  EXPECT_FALSE(list.isSelected(0));
  list.addItem("a2");
  list.addItem("C");
  EXPECT_EQ(list.items, (std::vector<std::string>{"A", "a2", "b", "C"}));
  EXPECT_EQ(list.selected.size(), list.items.size());
}

TEST(ErrorBox, FullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(errorBoxText("File not found"), "File not found.");
  EXPECT_EQ(errorBoxText("Done."), "Done.");
  EXPECT_EQ(errorBoxText("Really?"), "Really?.");
  EXPECT_EQ(errorBoxText("a-"), "a-");
  EXPECT_EQ(errorBoxText(""), "");
}

}  // namespace
}  // namespace fennick::ui
