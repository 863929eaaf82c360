// fennick-screens: pictures of every wizard page in every language, taken
// from the real Windows view so they show what a user sees. For each
// language it opens the main window over a do-nothing engine, fills a few
// plausible values, shows each page and writes its client area as
// wizard-<language>-page<n>.bmp into the folder named on the command line.
// Relies on the wizard's controller and view, the carried resources, and
// window_capture.h.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/target.h"
#include "platform/file.h"
#include "resources/resources.h"
#include "win32/wide_text.h"
#include "win32/win32_ui.h"
#include "window_capture.h"
#include "wizard/main_form.h"
#include "wizard/ui_services.h"

namespace fennick::screens {
namespace {

constexpr const char* kLanguages[] = {"en", "cn"};
constexpr int kShownPages[] = {1, 3, 4, 5, 6};

std::vector<std::string> commandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ui::win32::narrow(words[i]));
  LocalFree(words);
  return arguments;
}

std::string carriedPicture(const std::string& picture) {
  if (auto bytes = findResource(picture, "BITMAP")) return std::string(*bytes);
  return {};
}

// No dialog may wait for a user who is not there: a message box is printed
// and answered No, the save dialog is cancelled, the shell does nothing.
ui::win32::Dialogs unattendedDialogs() {
  ui::win32::Dialogs dialogs;
  dialogs.messageBox = [](HWND, const wchar_t* text, const wchar_t* title, UINT) {
    std::fprintf(stderr, "message box \"%s\": %s\n", ui::win32::narrow(title).c_str(),
                 ui::win32::narrow(text).c_str());
    return IDNO;
  };
  dialogs.saveFileName = [](OPENFILENAMEW&) { return false; };
  dialogs.shellExecute = [](HWND, const wchar_t*, const wchar_t*, int) {};
  return dialogs;
}

// The pictures show pages, not work: nothing here is reached unless a
// page action runs, which this tool never triggers.
WizardEngine idleEngine() {
  WizardEngine engine;
  engine.openSource = [](SourceConnection&, const std::string&, const std::string&,
                         const std::string&) {};
  engine.querySource = [](SourceConnection&, const std::string&) -> std::unique_ptr<SourceDataset> {
    throw std::runtime_error("The screenshot tool has no source to query");
  };
  engine.run = [](const ConversionJob&, const RunTexts&, SourceConnection&, TargetConnection&,
                  ConversionLog&, ConversionHost&) { return RunEnd::Completed; };
  return engine;
}

TargetOpener noTarget() {
  return [](const std::string& path) -> std::unique_ptr<TargetDatabase> {
    throw std::runtime_error("The screenshot tool opens no database: " + path);
  };
}

// Handles what is queued (paints above all). The quit message a closed
// main window leaves behind is dropped: this tool has no loop to end.
void drainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void fillPlausibleValues(Taaform1& wizard) {
  ui::Form& form = wizard.form();
  form["edtservice"].caption = "sqlite:sample.db";
  form["edtoracleusername"].caption = "scott";
  form["edtoraclepassword"].caption = "tiger";
  form["editaccessname"].caption = "C:\\data\\sample.mdb";
  form["SaveDialog1"].caption = "C:\\data\\sample.mdb";

  ui::Component& available = form["availabletables"];
  available.clearItems();
  for (const char* table : {"BONUS", "CUSTOMERS", "ORDER_LINES", "SALGRADE"}) available.addItem(table);
  available.selected[1] = true;
  ui::Component& chosen = form["selecttables"];
  chosen.clearItems();
  for (const char* table : {"DEPT", "EMP", "ORDERS"}) chosen.addItem(table);

  // The closing lines come from the language's own captions, as a run's do.
  ConversionLog& log = wizard.log();
  log.ClearLog();
  log.AppendLine("DEPT: 4 rows");
  log.AppendLine("EMP: 14 rows");
  log.AppendLine("ORDERS: 1200 rows");
  log.AppendEmptyLine();
  log.AppendLine(form["Label29"].caption);
  log.AppendLine(form["Label30"].caption);
  log.AppendLine(form["Label32"].caption);
}

std::string picturePath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' ? folder + name : folder + "\\" + name;
}

void photographLanguage(const std::string& language, const std::string& folder) {
  ui::win32::Win32Ui ui(kApplicationTitle, unattendedDialogs());
  ui.setPictures(carriedPicture);
  Taaform1 wizard(ui, noTarget(), {}, idleEngine());
  // The window must end while its controller still exists.
  struct CloseMainAtEnd {
    ui::win32::Win32Ui& ui;
    ~CloseMainAtEnd() {
      ui.closeMain();
      drainMessages();
    }
  } closeMainAtEnd{ui};

  ui::win32::FormWindow& window = ui.openMain(wizard);
  wizard.setLanguageCode(language);
  wizard.applycaptions();
  fillPlausibleValues(wizard);
  SetForegroundWindow(window.handle());

  for (const int page : kShownPages) {
    wizard.setpage(page);
    window.showModel();
    drainMessages();
    const std::string path =
        picturePath(folder, "wizard-" + language + "-page" + std::to_string(page) + ".bmp");
    platform::writeWholeFile(path, captureClientArea(window.handle()));
    std::printf("%s\n", path.c_str());
  }
}

}  // namespace
}  // namespace fennick::screens

int main() {
  using namespace fennick::screens;
  const std::vector<std::string> arguments = commandLineArguments();
  if (arguments.size() != 1) {
    std::fprintf(stderr, "usage: fennick-screens OUTPUT-FOLDER\n");
    return 2;
  }
  try {
    for (const char* language : kLanguages) photographLanguage(language, arguments.front());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fennick-screens: %s\n", error.what());
    return 1;
  }
}
