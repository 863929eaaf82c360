// The unattended start: the start line, the parameter file, the values and
// the start timer. Relies on the platform clock, the parameter list and the
// engine's batch log naming.
#include "batch/unattended_start.h"

#include "engine/run.h"
#include "platform/clock.h"

namespace fennick {

bool unattendedStart(ui::Form& wizard, ConversionLog& log, ParameterList& parameters,
                     ui::UiServices& ui, const std::vector<std::string>& arguments) {
  const std::string parameterFile = arguments.empty() ? std::string() : arguments.front();
  try {
    log.AppendLine("Start time:" + platform::formatLocalDateTime(platform::localNow()));
    parameters.load(parameterFile);
  } catch (const std::exception& error) {
    log.AppendLine(error.what());
    try {
      log.SaveLog(batchLogName(parameterFile));
    } catch (const std::exception& saveError) {
      ui.showError(ui::errorBoxText(saveError.what()), wizard.caption());
    }
    return false;
  }
  ApplyBatchParameters(wizard, parameters);
  ui.startTimer(kStartTimer, kStartTimerMilliseconds);
  return true;
}

}  // namespace fennick
