// The Windows view of a form: the controls made from the model, the user's
// state read back before a handler, the model shown again after it, and the
// ends of a window. Checked through the Win32 API.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "view_test_support.h"
#include "win32/win32_ui.h"

namespace fennick::ui::win32 {
namespace {

using test::boundsInParent;
using test::RecordingDialogs;
using test::ScriptedController;

Form everyKind() {
  Form form("Taaform1", "Fennick 4.0", 594, 425);
  form.add("Panel1", Kind::Panel, "", {0, 0, 177, 425});
  form.add("Label1", Kind::Label, "Panel1", {13, 24, 150, 13}, "Welcome");
  form.add("Label2", Kind::Label, "Panel1", {13, 74, 150, 13}, "创建快捷方式");
  form.add("Image1", Kind::Image, "Panel1", {1, 377, 175, 47}, "BANNER");
  form.add("pg", Kind::PageControl, "", {178, 1, 415, 372}).itemIndex = 0;
  form.add("TabSheet1", Kind::TabSheet, "pg", {});
  auto& title = form.add("Label7", Kind::Label, "TabSheet1", {7, 1, 300, 16}, "Welcome to the Database");
  title.bold = true;
  title.fontHeight = 13;
  form.add("edtservice", Kind::Edit, "TabSheet1", {103, 83, 121, 21}, "ORCL");
  form.add("edtoraclepassword", Kind::Edit, "TabSheet1", {103, 176, 121, 21}, "secret").password = true;
  form.add("editaccessname", Kind::Edit, "TabSheet1", {13, 291, 317, 21}, "C:\\a.mdb").readOnly = true;
  auto& radios = form.add("processtable", Kind::RadioGroup, "TabSheet1", {13, 210, 389, 54}, "Existing tables:");
  radios.items = {"Overwrite", "Merge", "Skip"};
  radios.columns = 3;
  radios.itemIndex = 1;
  form.add("GroupBox1", Kind::GroupBox, "TabSheet1", {13, 110, 250, 90}, "Settings");
  form.add("chkskipindex", Kind::CheckBox, "GroupBox1", {10, 20, 200, 17}, "Skip converting indexes");
  auto& combo = form.add("cbaccessformat", Kind::ComboBox, "GroupBox1", {10, 50, 145, 21});
  combo.items = {"MS Access 95/97", "MS Access 2000"};
  combo.itemIndex = 0;
  form.add("TabSheet2", Kind::TabSheet, "pg", {});
  auto& list = form.add("availabletables", Kind::ListBox, "TabSheet2", {11, 80, 153, 229});
  for (const char* name : {"b", "A", "c"}) list.addItem(name);
  list.selected[2] = true;
  auto& memo = form.add("sc", Kind::Memo, "TabSheet2", {0, 0, 400, 60});
  memo.readOnly = true;
  memo.wordWrap = true;
  memo.verticalScrollBar = true;
  form.add("Panel3", Kind::Panel, "", {177, 384, 417, 41});
  form.add("btback", Kind::Button, "Panel3", {90, 8, 75, 25}, "< Back").enabled = false;
  form.add("btnext", Kind::Button, "Panel3", {168, 8, 75, 25}, "Next >");
  form.add("bthelp", Kind::Button, "Panel3", {332, 8, 75, 25}, "Help").visible = false;
  form.add("queryclose", Kind::Hidden, "", {}, "Close?");
  return form;
}

class FormWindowTest : public ::testing::Test {
 protected:
  FormWindowTest() : controller_(everyKind()), ui_("Fennick 4.0", dialogs_.dialogs()) {}
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ui_.setPictures([](const std::string& picture) { return picture == "BANNER" ? test::smallBmp() : ""; });
    window_ = &ui_.openMain(controller_);
  }
  HWND control(const char* name) { return window_->control(name); }
  Component& model(const char* name) { return controller_.form()[name]; }
  std::wstring text(const char* name) { return windowText(control(name)); }
  void click(const char* name) { SendMessageW(control(name), BM_CLICK, 0, 0); }
  LONG style(const char* name) { return GetWindowLongW(control(name), GWL_STYLE); }

  RecordingDialogs dialogs_;
  ScriptedController controller_;  // outlives the window, whose end calls it
  Win32Ui ui_;
  FormWindow* window_ = nullptr;
};

LOGFONTW fontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST_F(FormWindowTest, WindowHasTheFormsSizeBorderPlaceAndFont) {
  HWND window = window_->handle();
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 594);
  EXPECT_EQ(client.bottom, 425);
  const LONG windowStyle = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(windowStyle & WS_SYSMENU);
  EXPECT_EQ(windowStyle & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(windowText(window), L"Fennick 4.0");
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(controller_.events, std::vector<std::string>{"create"});

  const LOGFONTW regular = fontOf(control("Label1"));
  EXPECT_STREQ(regular.lfFaceName, L"MS Sans Serif");
  EXPECT_EQ(regular.lfHeight, -11);
  EXPECT_EQ(regular.lfWeight, FW_NORMAL);
  const LOGFONTW bold = fontOf(control("Label7"));
  EXPECT_EQ(bold.lfHeight, -13);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
}

TEST_F(FormWindowTest, EveryComponentHasTheControlOfItsKind) {
  struct Case {
    const char* name;
    const wchar_t* windowClass;
    LONG required, forbidden;
  };
  const Case cases[] = {
      {"Label1", L"Static", 0, SS_NOTIFY},
      {"btnext", L"Button", BS_PUSHBUTTON, 0},
      {"chkskipindex", L"Button", BS_AUTOCHECKBOX, 0},
      {"edtservice", L"Edit", 0, ES_PASSWORD | ES_READONLY | ES_MULTILINE},
      {"edtoraclepassword", L"Edit", ES_PASSWORD, ES_READONLY},
      {"editaccessname", L"Edit", ES_READONLY, ES_PASSWORD},
      {"cbaccessformat", L"ComboBox", CBS_DROPDOWNLIST, 0},
      {"availabletables", L"ListBox", LBS_EXTENDEDSEL | LBS_NOTIFY, LBS_SORT},
      {"sc", L"Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_HSCROLL},
      {"Image1", L"Static", SS_BITMAP | SS_NOTIFY, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND window = control(c.name);
    ASSERT_NE(window, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_EQ(_wcsicmp(className, c.windowClass), 0) << narrow(className);
    EXPECT_EQ(style(c.name) & c.required, c.required);
    EXPECT_EQ(style(c.name) & c.forbidden, 0);
  }
  EXPECT_EQ(control("queryclose"), nullptr);
  EXPECT_EQ(SendMessageW(control("edtoraclepassword"), EM_GETPASSWORDCHAR, 0, 0), L'*');
}

TEST_F(FormWindowTest, ControlsShowTheModel) {
  EXPECT_EQ(text("Label1"), L"Welcome");
  EXPECT_EQ(text("Label2"), L"\u521b\u5efa\u5feb\u6377\u65b9\u5f0f");  // UTF-8 in the model, UTF-16 on screen
  EXPECT_EQ(text("btnext"), L"Next >");
  EXPECT_EQ(text("edtservice"), L"ORCL");
  EXPECT_EQ(text("chkskipindex"), L"Skip converting indexes");
  EXPECT_EQ(text("processtable"), L"Existing tables:");

  for (const char* name : {"Label1", "btnext", "edtservice", "chkskipindex", "availabletables", "processtable"}) {
    SCOPED_TRACE(name);
    const Bounds want = model(name).bounds, got = boundsInParent(control(name));
    EXPECT_EQ(std::tie(got.left, got.top, got.width, got.height),
              std::tie(want.left, want.top, want.width, want.height));
  }
  EXPECT_EQ(GetParent(control("btnext")), control("Panel3"));
  EXPECT_EQ(GetParent(control("chkskipindex")), control("GroupBox1"));

  EXPECT_FALSE(IsWindowEnabled(control("btback")));
  EXPECT_TRUE(IsWindowEnabled(control("btnext")));
  EXPECT_FALSE(IsWindowVisible(control("bthelp")));
  EXPECT_TRUE(IsWindowVisible(control("edtservice")));
  EXPECT_FALSE(IsWindowVisible(control("availabletables")));  // on the page not shown
  EXPECT_FALSE(IsWindowVisible(control("TabSheet2")));

  HWND list = control("availabletables");
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  wchar_t first[8] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, L"b");  // the model's order, not sorted by the control
  EXPECT_EQ(SendMessageW(list, LB_GETSEL, 0, 0), 0);
  EXPECT_GT(SendMessageW(list, LB_GETSEL, 2, 0), 0);

  EXPECT_EQ(SendMessageW(control("cbaccessformat"), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(control("cbaccessformat"), CB_GETCURSEL, 0, 0), 0);

  ASSERT_NE(window_->radioButton("processtable", 2), nullptr);
  EXPECT_EQ(window_->radioButton("processtable", 3), nullptr);
  EXPECT_EQ(windowText(window_->radioButton("processtable", 1)), L"Merge");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(SendMessageW(window_->radioButton("processtable", i), BM_GETCHECK, 0, 0),
              i == 1 ? BST_CHECKED : BST_UNCHECKED);
  // The picture named by the caption, in the model's place and size.
  BITMAP picture{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(control("Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                         sizeof picture, &picture));
  EXPECT_EQ(picture.bmWidth, 3);
  const Bounds image = boundsInParent(control("Image1"));
  EXPECT_EQ(std::tie(image.left, image.top, image.width, image.height), std::make_tuple(1, 377, 175, 47));

  const Bounds merge = boundsInParent(window_->radioButton("processtable", 1));
  const Bounds skip = boundsInParent(window_->radioButton("processtable", 2));
  EXPECT_EQ(merge.top, skip.top);  // three columns: one row
  EXPECT_LT(merge.left + merge.width, skip.left + 1);
}

TEST_F(FormWindowTest, UsersStateReachesTheModelBeforeTheHandler) {
  SetWindowTextW(control("edtservice"), L"XE\u00e9");
  SendMessageW(control("cbaccessformat"), CB_SETCURSEL, 1, 0);
  HWND list = control("availabletables");
  SendMessageW(list, LB_SETSEL, FALSE, 2);
  SendMessageW(list, LB_SETSEL, TRUE, 0);
  SendMessageW(list, LB_SETCARETINDEX, 1, FALSE);

  std::vector<std::string> seen;
  controller_.handler = [&](const std::string& event) {
    const auto& form = controller_.form();
    if (event == "click:btnext")
      seen = {form["edtservice"].caption, std::to_string(form["cbaccessformat"].itemIndex),
              std::to_string(form["availabletables"].isSelected(0)) +
                  std::to_string(form["availabletables"].isSelected(2)),
              std::to_string(form["availabletables"].caret)};
    if (event == "click:processtable") seen = {std::to_string(form["processtable"].itemIndex)};
    if (event == "click:chkskipindex") seen = {std::to_string(form["chkskipindex"].checked)};
  };
  click("btnext");
  EXPECT_EQ(seen, (std::vector<std::string>{"XE\xc3\xa9", "1", "10", "1"}));
  SendMessageW(window_->radioButton("processtable", 2), BM_CLICK, 0, 0);
  EXPECT_EQ(seen, std::vector<std::string>{"2"});
  click("chkskipindex");
  EXPECT_EQ(seen, std::vector<std::string>{"1"});
}

TEST_F(FormWindowTest, MouseOnListAndPictureBecomesTheControllersEvents) {
  HWND list = control("availabletables");
  HWND image = control("Image1");
  // A double click as Windows delivers it: down, up, double click, up.
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(image, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(controller_.events,
            (std::vector<std::string>{"create", "dblclick:availabletables", "click:Image1"}));
  EXPECT_TRUE(model("availabletables").isSelected(0));  // the double-clicked item, read before the handler

  // The picture asks its parents for the cursor: the hand.
  EXPECT_EQ(SendMessageW(image, WM_SETCURSOR, reinterpret_cast<WPARAM>(image), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(FormWindowTest, ModelChangesOfAHandlerReachTheControls) {
  HWND list = control("availabletables");
  controller_.handler = [&](const std::string& event) {
    if (event != "click:btnext") return;
    Form& form = controller_.form();
    form.setCaption("Fennick 4.0 - step 2");
    form["Label1"].caption = "Step one";
    form["Label1"].bold = true;
    form["btnext"].enabled = false;
    form["btback"].enabled = true;
    form["bthelp"].visible = true;
    form["edtservice"].caption = "PROD";
    form["chkskipindex"].checked = true;
    form["processtable"].itemIndex = 2;
    form["cbaccessformat"].itemIndex = 1;
    form["pg"].itemIndex = 1;
    auto& tables = form["availabletables"];
    tables.deleteItem(0);
    tables.addItem("d");
    tables.selected = {false, false, true};
    form.setFocus("availabletables");
  };
  click("btnext");
  EXPECT_EQ(windowText(window_->handle()), L"Fennick 4.0 - step 2");
  EXPECT_EQ(text("Label1"), L"Step one");
  EXPECT_EQ(fontOf(control("Label1")).lfWeight, FW_BOLD);
  EXPECT_FALSE(IsWindowEnabled(control("btnext")));
  EXPECT_TRUE(IsWindowEnabled(control("btback")));
  EXPECT_TRUE(IsWindowVisible(control("bthelp")));
  EXPECT_EQ(text("edtservice"), L"PROD");
  EXPECT_EQ(SendMessageW(control("chkskipindex"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(window_->radioButton("processtable", 2), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(window_->radioButton("processtable", 1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(control("cbaccessformat"), CB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_FALSE(IsWindowVisible(control("edtservice")));
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  wchar_t last[8] = {};
  SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(last));
  EXPECT_STREQ(last, L"d");
  EXPECT_EQ(SendMessageW(list, LB_GETSEL, 0, 0), 0);
  EXPECT_GT(SendMessageW(list, LB_GETSEL, 2, 0), 0);
  EXPECT_EQ(GetFocus(), list);
}

TEST_F(FormWindowTest, WhatAHandlerLeavesAloneIsNotShownAgain) {
  // Refilling an unchanged list would lose the user's scroll position.
  auto& tables = model("availabletables");
  for (int i = 0; i < 60; ++i) tables.addItem(std::string("Table").append(std::to_string(i)));
  ui_.pumpMessages();
  HWND list = control("availabletables");
  SendMessageW(list, LB_SETTOPINDEX, 40, 0);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  ASSERT_GT(top, 0);
  controller_.handler = [&](const std::string&) { controller_.form()["Label1"].caption = "Changed"; };
  click("btnext");
  EXPECT_EQ(text("Label1"), L"Changed");
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), top);
}

TEST_F(FormWindowTest, MemoShowsTheWholeLogAndFollowsItsEnd) {
  HWND memo = control("sc");
  controller_.handler = [&](const std::string&) {
    std::string& log = controller_.form()["sc"].caption;
    for (int i = 0; i < 40; ++i) log += "Line " + std::to_string(i) + "\n";
  };
  click("btnext");
  std::wstring expected;
  for (int i = 0; i < 40; ++i) expected += L"Line " + std::to_wstring(i) + L"\r\n";
  EXPECT_EQ(windowText(memo), expected);
  const LRESULT firstVisible = SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(firstVisible, 30);
  click("btnext");  // grows again: appended
  EXPECT_EQ(windowText(memo), expected + expected);
  EXPECT_GT(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 70);
  controller_.handler = [&](const std::string&) { controller_.form()["sc"].caption.clear(); };
  click("btnext");
  EXPECT_EQ(windowText(memo), L"");

  // A line break split across two appends stays one line break.
  controller_.handler = [&](const std::string&) {
    std::string& log = controller_.form()["sc"].caption;
    log += log.empty() ? "first\r" : "\nsecond\n";
  };
  click("btnext");
  click("btnext");
  EXPECT_EQ(windowText(memo), L"first\r\nsecond\r\n");
}

TEST_F(FormWindowTest, AThrowingHandlerShowsTheErrorBoxAndTheWindowGoesOn) {
  controller_.handler = [&](const std::string& event) {
    if (event == "click:btnext") throw std::runtime_error("Cannot open x.mdb");
  };
  click("btnext");
  ASSERT_EQ(dialogs_.messageBoxes.size(), 1u);
  EXPECT_EQ(dialogs_.messageBoxes[0].text, L"Cannot open x.mdb.");
  EXPECT_EQ(dialogs_.messageBoxes[0].title, L"Fennick 4.0");
  EXPECT_EQ(dialogs_.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(IsWindow(window_->handle()));
  click("chkskipindex");
  EXPECT_EQ(controller_.events.back(), "click:chkskipindex");
}

TEST_F(FormWindowTest, CloseRequestEndsTheWindowThroughOnDestroy) {
  SetWindowTextW(control("edtservice"), L"TYPED");
  std::string serviceAtDestroy;
  controller_.handler = [&](const std::string& event) {
    if (event == "click:btnext") controller_.close = true;
    if (event == "destroy") serviceAtDestroy = controller_.form()["edtservice"].caption;
  };
  HWND window = window_->handle();
  click("btnext");
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(window_->isOpen());
  EXPECT_EQ(std::count(controller_.events.begin(), controller_.events.end(), "destroy"), 1);
  EXPECT_EQ(serviceAtDestroy, "TYPED");
  EXPECT_EQ(ui_.run(), 0);  // the main window's end ends the message loop
}

TEST_F(FormWindowTest, TitleBarCloseEndsTheProgramWithoutAsking) {
  PostMessageW(window_->handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ui_.run(), 0);
  EXPECT_EQ(controller_.events.back(), "destroy");
  EXPECT_TRUE(dialogs_.messageBoxes.empty());
}

}  // namespace
}  // namespace fennick::ui::win32
