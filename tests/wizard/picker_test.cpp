// The table picker of page 5: the four moves and the double clicks on a
// table of cases, the sorted mode the first Remove turns on, and Next
// following the selected list.
#include "main_form_test_base.h"

namespace fennick::test {
namespace {

using Names = std::vector<std::string>;

struct PickerCase {
  const char* what;
  Names available, chosen;              // the lists before the move
  Names markAvailable, markChosen;      // entries selected before the move
  const char* action;                   // a button, or "dbl:<list>"
  Names expectAvailable, expectChosen;
};

class PickerTest : public MainFormTest {
 protected:
  void prepare(const PickerCase& pc) {
    engine.schemaTables = pc.available;
    start();
    walkToPage5();
    for (const auto& name : pc.chosen) c("selecttables").addItem(name);
    window->setpage(5);
    selectEntries("availabletables", pc.markAvailable);
    selectEntries("selecttables", pc.markChosen);
  }
  void act(const std::string& action) {
    if (action.rfind("dbl:", 0) == 0)
      window->onDoubleClick(action.substr(4));
    else
      click(action.c_str());
  }
};

TEST_F(PickerTest, MovesOnATableOfCases) {
  const PickerCase cases[] = {
      {"Add moves the selected entries in list order", {"A", "B", "C", "D"}, {}, {"B", "D"}, {},
       "Button1", {"A", "C"}, {"B", "D"}},
      {"Add appends after the chosen ones", {"A", "C"}, {"B", "D"}, {"A", "C"}, {}, "Button1", {},
       {"B", "D", "A", "C"}},
      {"Add with nothing selected changes nothing", {"A", "B"}, {"C"}, {}, {}, "Button1",
       {"A", "B"}, {"C"}},
      {"Remove sorts the available list", {"E"}, {"B", "D", "A", "C"}, {}, {"A"}, "Button3",
       {"A", "E"}, {"B", "D", "C"}},
      {"Remove sorts without regard to case", {"b", "D"}, {"a", "C"}, {}, {"a", "C"}, "Button3",
       {"a", "b", "C", "D"}, {}},
      {"Add all keeps the source order", {"Z", "A", "M"}, {"Q"}, {"A"}, {}, "Button2", {},
       {"Q", "Z", "A", "M"}},
      {"Add all on an empty list changes nothing", {}, {"Q"}, {}, {}, "Button2", {}, {"Q"}},
      {"Remove all brings every entry back, sorted", {"X"}, {"b", "A", "c"}, {}, {}, "Button4",
       {"A", "b", "c", "X"}, {}},
      {"Remove all on an empty list still sorts", {"c", "B", "a"}, {}, {}, {}, "Button4",
       {"a", "B", "c"}, {}},
      {"A double click adds", {"A", "B"}, {}, {"B"}, {}, "dbl:availabletables", {"A"}, {"B"}},
      {"A double click removes", {"B"}, {"A", "C"}, {}, {"C"}, "dbl:selecttables", {"B", "C"},
       {"A"}},
  };
  for (const PickerCase& pc : cases) {
    SCOPED_TRACE(pc.what);
    prepare(pc);
    act(pc.action);
    EXPECT_EQ(c("availabletables").items, pc.expectAvailable);
    EXPECT_EQ(c("selecttables").items, pc.expectChosen);
    // Moved entries arrive unselected and every name stays once.
    for (const char* list : {"availabletables", "selecttables"}) {
      EXPECT_EQ(c(list).selected.size(), c(list).items.size());
      for (std::size_t i = 0; i < c(list).items.size(); ++i) EXPECT_FALSE(c(list).isSelected(i));
    }
    EXPECT_EQ(c("btnext").enabled, !pc.expectChosen.empty());
  }
}

TEST_F(PickerTest, NextFollowsTheSelectedListOnlyOnPage5) {
  engine.schemaTables = {"A"};
  start();
  walkToPage5();
  EXPECT_FALSE(c("btnext").enabled);
  selectEntries("availabletables", {"A"});
  click("Button1");
  EXPECT_TRUE(c("btnext").enabled);
  selectEntries("selecttables", {"A"});
  click("Button3");
  EXPECT_FALSE(c("btnext").enabled);
  // Elsewhere a move leaves Next alone.
  window->bkstep5Click();
  click("btback");
  ASSERT_EQ(window->wizardPage(), 4);
  c("availabletables").addItem("B");
  click("Button2");
  click("Button4");
  EXPECT_TRUE(c("btnext").enabled);
}

TEST_F(PickerTest, TheFirstRemoveSortsEveryLaterListing) {
  engine.schemaTables = {"EMP", "dept", "BONUS"};
  start();
  walkToPage5();
  EXPECT_EQ(c("availabletables").items, engine.schemaTables);  // the source's order
  click("Button2");
  click("Button4");
  EXPECT_EQ(c("availabletables").items, (Names{"BONUS", "dept", "EMP"}));
  click("btback");
  click("btnext");
  EXPECT_EQ(c("availabletables").items, (Names{"BONUS", "dept", "EMP"}));
}

TEST_F(PickerTest, RemoveKeepsTheCaretIndex) {
  engine.schemaTables = {"C", "D", "E"};
  start();
  walkToPage5();
  c("availabletables").caret = 2;
  c("selecttables").addItem("A");
  selectEntries("selecttables", {"A"});
  click("Button3");
  EXPECT_EQ(c("availabletables").items, (Names{"A", "C", "D", "E"}));
  EXPECT_EQ(c("availabletables").caret, 2);
}

}  // namespace
}  // namespace fennick::test
