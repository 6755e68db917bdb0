#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// Once a second while a run is on: the lines written in the last second go to the disk, and a
// silence of the instrument long enough to notice is said in the status line ("No samples for
// 25 s") until the next sample says "Running..." again. With "&Resume after Port Loss" checked, a
// silence of max(60 s, 30 tau) loses the run as a failed port would; while a lost run is being
// brought back, the tick moves that on.
void watchRun(Console& c);

}  // namespace tessarin::app::runs
