// fennick.exe: the Windows wizard. Sets the application title, reads the
// command line, creates the main window's controller over the Windows view
// and runs the message loop.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/resources.h"
#include "win32/wide_text.h"
#include "win32/win32_ui.h"
#include "wizard/ui_services.h"

#include "engine/target.h"
#include "wizard/main_form.h"

namespace {

constexpr char kProgramTitle[] = "Fennick 4.0";

// The arguments after the program's own name, in UTF-8.
std::vector<std::string> commandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(fennick::ui::win32::narrow(words[i]));
  LocalFree(words);
  return arguments;
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
  try {
    ui::win32::Win32Ui ui(kProgramTitle);
    ui.setLook("Tmarfrm_bat", {"Tahoma", 11});
    ui.setPictures(carriedPicture);
    Taaform1 mainForm(ui, jetTargetOpener());
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
