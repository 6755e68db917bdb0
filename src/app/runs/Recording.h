#pragma once

#include <QString>

#include "run/DataFile.h"

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// "&Save File as": chooses the .DAT file that the following runs append to.
void chooseDataFile(Console& c);

// Appends the run's header to the data file. A header or sample line that cannot be written
// waits, with the lines after it, until a write succeeds again; meanwhile the status line says
// why and how many lines wait, and the run goes on, since its samples are plotted and analysed
// all the same. Once the waiting lines are written the status line says the run is on again.
void writeRunHeader(Console& c, const run::RunHeader& header);

// The measurement has handed an accepted sample's line to the data file: the silence watch hears
// of the sample, and the status line says what became of the line.
void reportSampleLine(Console& c, const run::RecordOutcome& outcome);

// "Running...", and how often the run was resumed once it has been.
QString runningStatus(const Console& c);

// Puts the lines written so far on the disk; a failure is said in the status line.
void syncDataFile(Console& c);

// The run ends (Stop, the sample limit, Quit): the waiting lines are tried once more. Lines still
// waiting are told in a warning box and the save dialog offers another file, which gets the run's
// header and those lines; cancelling it drops them. The status line says which. Asks the operator,
// so it never runs inside the serial handler.
void saveWaitingLines(Console& c);

}  // namespace tessarin::app::runs
