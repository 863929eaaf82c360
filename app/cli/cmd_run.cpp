// fennick-cli run: an unattended replay of a saved job without a window,
// for servers and schedulers. The wizard's own logic runs it over a console
// stand-in for the user interface, so the job is read, the tables chosen and
// the log written exactly as the shortcut's replay does; the log also goes
// to standard output.
#include <optional>
#include <stdexcept>

#include "batch/parameter_list.h"
#include "batch/unattended_start.h"
#include "commands.h"
#include "console.h"
#include "engine/flags.h"
#include "engine/target.h"
#include "log_printer.h"
#include "platform/terminal.h"
#include "wizard/main_form.h"
#include "wizard/ui_services.h"

namespace fennick::cli {
namespace {

// The user interface of a replay nobody watches: notices and errors go to
// standard error, questions are answered No, dialogs are cancelled.
class ConsoleUi : public ui::UiServices {
 public:
  void showMessage(const std::string& text, const std::string&) override {
    writeErr(text + "\n");
  }
  void showError(const std::string& text, const std::string&) override {
    writeErr("fennick-cli: " + text + "\n");
    ++errors;
  }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> saveFile(const ui::SaveDialogRequest&) override { return std::nullopt; }
  void shellOpen(const std::string&) override {}
  void pumpMessages() override {}
  void startTimer(const std::string& name, int) override { armed = name; }
  void showModal(ui::FormController&) override {}

  std::string armed;
  int errors = 0;
};

}  // namespace

int runRun(const Args& args) {
  if (args.size() != 1) throw std::runtime_error("run needs exactly one JOB.fennick file");
  BatchMode = true;
  ConsoleUi ui;
  ParameterList parameters;
  MainFormHooks hooks;
  hooks.unattendedStart = [&](Taaform1& window) {
    window.setBatchParameters(&parameters);
    if (!unattendedStart(window.form(), window.log(), parameters, ui, args)) window.requestClose();
  };
  Taaform1 window(ui, jetTargetOpener(), hooks);
  window.setBatchParameterFile(args.front());
  LogPrinter printer(window.log(), platform::stdoutIsTerminal());
  platform::setFlagOnInterrupt(StopRequested);

  window.onCreate();
  if (!ui.armed.empty()) window.onTimer(ui.armed);
  printer.finish();
  // The replay completed when the run reached its end (it stamps the end
  // time, writes the batch log and asks to close) without an error box.
  bool stamped = false;
  for (const auto& line : window.log().lines()) stamped = stamped || line.rfind("The end time:", 0) == 0;
  return stamped && window.closeRequested() && ui.errors == 0 ? 0 : 1;
}

}  // namespace fennick::cli
