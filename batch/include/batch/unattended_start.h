// The unattended start: a program started with a parameter file replays
// its job. This part logs the start, loads the file, copies its values into
// the main window's controls and arms the start timer whose Next press
// begins the chain of pages (the main window's own business from there).
//
// The main window is reached only as a ui::Form, by its components' names.
#pragma once

#include <string>
#include <vector>

#include "batch/parameter_list.h"
#include "engine/log.h"
#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick {

// Copies the parameter list into the main window's controls in a fixed
// order: accessmode, mysqldatabase, mysqlu, mysqlp, host, port, oracleh,
// oracleu, oraclep, accessformat, accessfilename, processtable,
// tabledefonly, nameuppercase, skipindex, blobtotext. Every key is applied,
// present or not: a missing text empties its box, a missing flag is off.
// Radio-group indexes are clamped to -1 .. last item; an Access format other
// than 0 and 1 selects none. A whole number that is missing or malformed
// throws "''<text>'' is not a valid integer value", leaving the keys after
// it unapplied.
void ApplyBatchParameters(ui::Form& wizard, const ParameterList& parameters);

// The start timer that presses Next once the window is shown.
inline constexpr const char* kStartTimer = "Timer1";
inline constexpr int kStartTimerMilliseconds = 1000;

// Runs the unattended start with the program's arguments (the first names
// the parameter file): logs "Start time:" and the local date and time,
// loads the file into `parameters`, applies it and arms the start timer.
// Returns false when the file could not be loaded: the log then holds the
// start line and the error, it is saved as the batch log, and the program
// must end (an error saving it goes to the error box, titled with the
// window's caption, the application title). Lets ApplyBatchParameters'
// error pass.
bool unattendedStart(ui::Form& wizard, ConversionLog& log, ParameterList& parameters,
                     ui::UiServices& ui, const std::vector<std::string>& arguments);

}  // namespace fennick
