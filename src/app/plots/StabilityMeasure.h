#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// The stability plot shows one of four measures, the radio group after the separator of the
// Display menu: the console's own Allan deviation, the modified Allan deviation, TDEV or MTIE.
// The choice renames the stability plot, redraws its curve from the run's data at once, and is
// remembered in stabilitymeasure.txt in the settings folder. It only changes the view, so it
// stays open during a run.
void chooseStandardAllan(Console& c);
void chooseModifiedAllan(Console& c);
void chooseTdev(Console& c);
void chooseMtie(Console& c);

// Start-up: the measure chosen last. A missing file leaves the standard Allan deviation; a file
// that cannot be read or names no measure is said in the status line.
void restoreStabilityMeasure(Console& c);

// The "e" key of the stability plot: shows or hides the 68 % confidence intervals.
void toggleErrorBars(Console& c);

}  // namespace tessarin::app::plots
