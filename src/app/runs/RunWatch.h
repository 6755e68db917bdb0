#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// Once a second while a run is on: the lines written in the last second go to the disk, and a
// silence of the instrument long enough to notice is said in the status line ("No samples for
// 25 s") until the next sample says "Running..." again.
void watchRun(Console& c);

}  // namespace tessarin::app::runs
