// The two program-wide flags.
//
// StopRequested: set when the user confirms Stop during a run, read by the
// run before each table and by the row copy at its checkpoints. Atomic so
// that a terminal's interrupt handler may set it.
// BatchMode: on when the program was started for an unattended run; it does
// not change afterwards.
#pragma once

#include <atomic>

namespace fennick {

extern std::atomic<bool> StopRequested;
extern std::atomic<bool> BatchMode;

}  // namespace fennick
