#pragma once

#include <QString>

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// "S&tart" / "S&top": starts a run when none is on, otherwise stops it.
void startOrStopRun(Console& c);

// A run that follows one lost with its instrument: as Start, without saving the choices again.
void startResumedRun(Console& c);

// Ends the sample stream, unlocks the menus and says so.
void stopRun(Console& c);

// The run reached the sample limit: the stream ends and the menus unlock, but the item still
// reads "S&top" until the operator stops the run.
void endRunAtSampleLimit(Console& c);

// The serial port failed while open: a run that is on is stopped as Stop would, the status line
// names the failure, and Initialization is offered again to reopen the port. With "&Resume after
// Port Loss" checked, a run that is on is brought back instead (see Resume.h).
void handlePortFailure(Console& c, const QString& message);

}  // namespace tessarin::app::runs
