#pragma once

#include <QString>
#include <optional>

class Console;

// "S&tart" / "S&top": starts a run when the item reads "S&tart", otherwise stops it.
void startOrStopRun(Console& c);

// Ends the sample stream, routes replies back to the initialization handler and unlocks the
// menus.
void stopRun(Console& c);

// The serial port failed while open: a run that is on is stopped as Stop would, the status line
// names the failure, and Initialization is offered again to reopen the port.
void handlePortFailure(Console& c, const QString& message);

// The nominal DUT frequency typed in the "Nominal DUT" box ("10,000,000.00000"; grouping commas
// allowed), rounded to five decimals; nothing when the text is not a number.
std::optional<double> nominalFrequencyFromText(const QString& text);
