// The UI services on Windows: the dialog calls they make, timers, modal
// forms and message pumping in the middle of a handler.
#include <gtest/gtest.h>

#include "view_test_support.h"
#include "win32/win32_ui.h"

namespace fennick::ui::win32 {
namespace {

using test::pumpFor;
using test::RecordingDialogs;
using test::ScriptedController;

Form smallForm(const char* name, int width, int height) {
  Form form(name, "Form", width, height);
  form.add("Label1", Kind::Label, "", {8, 8, 200, 13}, "Text");
  form.add("btgo", Kind::Button, "", {8, 40, 75, 25}, "Go");
  form.add("btstop", Kind::Button, "", {90, 40, 75, 25}, "Stop");
  return form;
}

TEST(Win32UiServices, MessageBoxesHaveTheirButtonsAndIcons) {
  RecordingDialogs recorder;
  Win32Ui ui("Fennick 4.0", recorder.dialogs());
  ui.showMessage("Please input Access database name", "Fennick 4.0");
  ui.showError("Bad.", "Fennick 4.0");
  recorder.answer = IDYES;
  EXPECT_TRUE(ui.askYesNo("Close?", "Information"));
  recorder.answer = IDNO;
  EXPECT_FALSE(ui.askYesNo("Stop", "Info"));
  ASSERT_EQ(recorder.messageBoxes.size(), 4u);
  EXPECT_EQ(recorder.messageBoxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(recorder.messageBoxes[0].text, L"Please input Access database name");
  EXPECT_EQ(recorder.messageBoxes[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(recorder.messageBoxes[2].type, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(recorder.messageBoxes[3].title, L"Info");
}

TEST(Win32UiServices, SaveDialogGetsTheRequestAndGivesTheChosenPath) {
  OPENFILENAMEW seen{};
  std::wstring startName, filter, extension, folder;
  Dialogs dialogs = RecordingDialogs().dialogs();
  dialogs.saveFileName = [&](OPENFILENAMEW& dialog) {
    seen = dialog;
    startName = dialog.lpstrFile;
    extension = dialog.lpstrDefExt ? dialog.lpstrDefExt : L"";
    folder = dialog.lpstrInitialDir ? dialog.lpstrInitialDir : L"";
    const wchar_t* end = dialog.lpstrFilter;
    while (end[0] || end[1]) ++end;
    filter.assign(dialog.lpstrFilter, end + 2);
    wcscpy(dialog.lpstrFile, L"D:\\\u6570\u636e\\new.mdb");
    return true;
  };
  Win32Ui ui("Fennick 4.0", dialogs);
  SaveDialogRequest request{"C:\\data\\old.mdb", "C:\\data", "mdb", "MS Access Databases (.mdb)|*.mdb"};
  EXPECT_EQ(ui.saveFile(request), "D:\\\xe6\x95\xb0\xe6\x8d\xae\\new.mdb");
  EXPECT_EQ(startName, L"C:\\data\\old.mdb");
  EXPECT_EQ(filter, std::wstring(L"MS Access Databases (.mdb)\0*.mdb\0\0", 34));
  EXPECT_EQ(extension, L"mdb");
  EXPECT_EQ(folder, L"C:\\data");
  EXPECT_TRUE(seen.Flags & OFN_NOCHANGEDIR);
  EXPECT_FALSE(seen.Flags & OFN_OVERWRITEPROMPT);
  EXPECT_GE(seen.nMaxFile, static_cast<DWORD>(MAX_PATH));

  dialogs.saveFileName = [](OPENFILENAMEW&) { return false; };
  Win32Ui cancelling("Fennick 4.0", dialogs);
  EXPECT_EQ(cancelling.saveFile(request), std::nullopt);
}

TEST(Win32UiServices, ShellOpenAsksForTheDefaultActionShownNormally) {
  std::wstring verb, target;
  int show = -1;
  Dialogs dialogs = RecordingDialogs().dialogs();
  dialogs.shellExecute = [&](HWND, const wchar_t* v, const wchar_t* t, int s) {
    verb = v;
    target = t;
    show = s;
  };
  Win32Ui ui("Fennick 4.0", dialogs);
  ui.shellOpen("https://example.org/fennick/help");
  EXPECT_EQ(verb, L"open");
  EXPECT_EQ(target, L"https://example.org/fennick/help");
  EXPECT_EQ(show, SW_SHOWNORMAL);
}

TEST(Win32UiServices, TimerFiresOnceFromTheMessageLoop) {
  SKIP_WITHOUT_DISPLAY();
  RecordingDialogs recorder;
  ScriptedController controller(smallForm("Tmain", 300, 100));
  Win32Ui ui("Fennick 4.0", recorder.dialogs());
  controller.handler = [&](const std::string& event) {
    if (event == "create") ui.startTimer("batch", 20);
    if (event == "timer:batch") controller.form()["Label1"].caption = "Fired";
  };
  FormWindow& window = ui.openMain(controller);
  const auto fired = [&] { return controller.events.back() == "timer:batch"; };
  pumpFor(3000, fired);
  ASSERT_TRUE(fired());
  pumpFor(150);
  EXPECT_EQ(std::count(controller.events.begin(), controller.events.end(), "timer:batch"), 1);
  EXPECT_EQ(windowText(window.control("Label1")), L"Fired");
}

TEST(Win32UiServices, ModalFormKeepsItsOwnerDisabledUntilClosed) {
  SKIP_WITHOUT_DISPLAY();
  RecordingDialogs recorder;
  ScriptedController main(smallForm("Taaform1", 594, 425));
  ScriptedController shortcut(smallForm("Tmarfrm_bat", 631, 390));
  Win32Ui ui("Fennick 4.0", recorder.dialogs());
  ui.setLook("Tmarfrm_bat", {"Tahoma", 11});
  FormWindow& mainWindow = ui.openMain(main);

  bool ownerEnabledDuringModal = true;
  RECT modalClient{};
  std::wstring modalFont;
  shortcut.handler = [&](const std::string& event) {
    if (event == "create") ui.startTimer("check", 10);
    if (event != "timer:check") return;
    FormWindow* modal = ui.activeWindow();
    ownerEnabledDuringModal = IsWindowEnabled(mainWindow.handle());
    GetClientRect(modal->handle(), &modalClient);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(modal->control("btgo"), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    modalFont = font.lfFaceName;
    SendMessageW(modal->control("btgo"), BM_CLICK, 0, 0);
  };
  shortcut.handler = [previous = shortcut.handler, &shortcut](const std::string& event) {
    previous(event);
    if (event == "click:btgo") shortcut.close = true;
  };
  main.handler = [&](const std::string& event) {
    if (event == "click:btgo") {
      ui.showModal(shortcut);
      main.events.push_back("after modal");
    }
  };
  SendMessageW(mainWindow.control("btgo"), BM_CLICK, 0, 0);

  EXPECT_EQ(shortcut.events,
            (std::vector<std::string>{"create", "timer:check", "click:btgo", "destroy"}));
  EXPECT_EQ(main.events.back(), "after modal");
  EXPECT_FALSE(ownerEnabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(mainWindow.handle()));
  EXPECT_EQ(modalClient.right, 631);
  EXPECT_EQ(modalClient.bottom, 390);
  EXPECT_EQ(modalFont, L"Tahoma");
  EXPECT_EQ(ui.activeWindow(), &mainWindow);
}

TEST(Win32UiServices, PumpingInALongHandlerShowsTheModelAndTakesClicks) {
  SKIP_WITHOUT_DISPLAY();
  RecordingDialogs recorder;
  ScriptedController controller(smallForm("Taaform1", 300, 100));
  Win32Ui ui("Fennick 4.0", recorder.dialogs());
  FormWindow& window = ui.openMain(controller);
  bool stopSeen = false;
  std::wstring labelDuringRun;
  controller.handler = [&](const std::string& event) {
    if (event == "click:btstop") {
      labelDuringRun = windowText(window.control("Label1"));  // shown before the click was handled
      controller.form()["Label1"].caption = "Stopped";
    }
    if (event != "click:btgo") return;
    controller.form()["Label1"].caption = "Copying";
    PostMessageW(window.control("btstop"), BM_CLICK, 0, 0);  // the user clicks Stop meanwhile
    for (int i = 0; i < 50 && !stopSeen; ++i) {
      ui.pumpMessages();
      stopSeen = controller.form()["Label1"].caption == "Stopped";
      Sleep(10);
    }
  };
  SendMessageW(window.control("btgo"), BM_CLICK, 0, 0);
  EXPECT_EQ(labelDuringRun, L"Copying");
  EXPECT_TRUE(stopSeen);
  EXPECT_EQ(windowText(window.control("Label1")), L"Stopped");
}

}  // namespace
}  // namespace fennick::ui::win32
