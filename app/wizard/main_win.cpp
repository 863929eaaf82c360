// fennick.exe: the Windows wizard. Sets the application title, reads the
// command line, creates the main window's controller over the Windows view
// and runs the message loop.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "batch/command_line.h"
#include "batch/shortcut_window.h"
#include "batch/unattended_start.h"
#include "resources/resources.h"
#include "win32/wide_text.h"
#include "win32/win32_ui.h"
#include "wizard/ui_services.h"

#include "engine/target.h"
#include "settings/data_folder.h"
#include "settings/saved_settings.h"
#include "settings/store.h"
#include "wizard/main_form.h"

namespace {

constexpr char kProgramTitle[] = "Fennick 4.0";

// The arguments after the program's own name, in UTF-8, split the way an
// unattended start reads them.
std::vector<std::string> commandLineArguments() {
  std::vector<std::string> words =
      fennick::splitCommandLine(fennick::ui::win32::narrow(GetCommandLineW()));
  if (!words.empty()) words.erase(words.begin());
  return words;
}

// The pictures of the Image components: carried bitmaps named by caption.
std::string carriedPicture(const std::string& picture) {
  if (auto bytes = fennick::findResource(picture, "BITMAP")) return std::string(*bytes);
  return {};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace fennick;
  const std::vector<std::string> arguments = commandLineArguments();
  setBatchModeFromArguments(arguments);
  try {
    ui::win32::Win32Ui ui(kProgramTitle);
    ui.setLook("Tmarfrm_bat", {"Tahoma", 11});
    ui.setPictures(carriedPicture);
    const std::unique_ptr<settings::SettingsStore> store = settings::userSettingsStore();
    ParameterList batchParameters;
    Tmarfrm_bat shortcutWindow(ui, kProgramTitle);
    MainFormHooks hooks;
    hooks.ensureDataFolder = [](Taaform1&) { settings::ensureDataFolder(settings::getdatafolder()); };
    hooks.loadSettings = [&store](Taaform1& w) {
      settings::loadsettings(w.form(), *store, settings::getdatafolder());
    };
    hooks.saveSettings = [&store](Taaform1& w) { settings::savesettings(w.form(), *store); };
    hooks.unattendedStart = [&](Taaform1& window) {
      window.setBatchParameters(&batchParameters);
      if (!unattendedStart(window.form(), window.log(), batchParameters, ui, arguments))
        window.requestClose();  // the batch log already tells why
    };
    hooks.openShortcutWindow = [&](Taaform1& window) {
      shortcutWindow.btcreatebatClick(window.form());
    };
    Taaform1 mainForm(ui, jetTargetOpener(), hooks);
    if (!arguments.empty()) mainForm.setBatchParameterFile(arguments.front());
    // Should the loop end early, the window still ends before its controller.
    struct CloseMainAtEnd {
      ui::win32::Win32Ui& ui;
      ~CloseMainAtEnd() { ui.closeMain(); }
    } closeMainAtEnd{ui};
    ui.openMain(mainForm);
    return ui.run();
  } catch (const std::exception& error) {
    const std::wstring text = ui::win32::wide(ui::errorBoxText(error.what()));
    const std::wstring title = ui::win32::wide(kProgramTitle);
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
}
