#pragma once

#include <QString>

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// A run with "&Resume after Port Loss" checked lost its instrument (`what`: "Port lost", "No
// samples for 60 s"): the run ends without a box, its waiting lines keep waiting, the port is let
// go, and the console tries every 2 s to open it again. Also for a port lost again while the run
// is being brought back.
void loseRun(Console& c, const QString& what);

// Once a second while a run is being brought back: the next attempt to open the port, an
// initialization that has not finished within 30 s, one that is due again, or the new run.
void watchResumption(Console& c);

// The repeated initialization failed (`why`): it is tried again in 30 s.
void retryResumption(Console& c, const QString& why);

// The repeated initialization has tuned the instrument: a second later a new run starts as Start
// starts it, with the lost run's choices, on the same data file.
void resumeWhenSettled(Console& c);

// Stop while the run is being brought back: the console is idle and offers Initialization, and
// lines still waiting are offered for another file.
void abandonResumption(Console& c);

}  // namespace tessarin::app::runs
