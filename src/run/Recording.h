#pragma once

#include "app/Console.h"

namespace tessarin::run {

// "&Save File as": chooses the .DAT file that the following runs append to.
void chooseDataFile(app::Console& c);

// Appends the run header for a run at `tauMs` to the data file; a failure shows in the status
// line and the run goes on, since its samples are plotted and analysed all the same.
void writeRunHeader(app::Console& c, double tauMs);

// Appends the line of one accepted sample. A failure shows in the status line; once a later
// line is written the status line says the run is on again.
void recordSampleLine(app::Console& c, double value);

}  // namespace tessarin::run
