#pragma once

#include "app/Console.h"

namespace tessarin::run {

// Disables, for the length of a run, everything that would change the meaning of the samples:
// the option menus, tau, normalization, display, scales, the data file and the frequency boxes.
void lockMenusForRun(app::Console& c);

// Enables the same items again, but for the port items: the port stays open on the Com item it
// was opened on.
void unlockMenusAfterRun(app::Console& c);

}  // namespace tessarin::run
