#pragma once

#include <QString>
#include <optional>

#include "app/Console.h"

namespace tessarin::run {

// "S&tart" / "S&top": starts a run when none is on, otherwise stops it.
void startOrStopRun(app::Console& c);

// Ends the sample stream, unlocks the menus and says so.
void stopRun(app::Console& c);

// The run reached the sample limit: the stream ends and the menus unlock, but the item still
// reads "S&top" until the operator stops the run.
void endRunAtSampleLimit(app::Console& c);

// The serial port failed while open: a run that is on is stopped as Stop would, the status line
// names the failure, and Initialization is offered again to reopen the port.
void handlePortFailure(app::Console& c, const QString& message);

// The nominal DUT frequency typed in the "Nominal DUT" box ("10,000,000.00000"; grouping commas
// allowed), rounded to five decimals; nothing when the text is not a number.
std::optional<double> nominalFrequencyFromText(const QString& text);

}  // namespace tessarin::run
