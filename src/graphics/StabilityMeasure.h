#pragma once

#include "app/Console.h"

namespace tessarin::graphics {

// The stability plot shows one of four measures, the radio group after the separator of the
// Display menu: the console's own Allan deviation, the modified Allan deviation, TDEV or MTIE.
// The choice renames the stability plot, redraws its curve from the run's data at once, and is
// remembered in stabilitymeasure.txt in the settings folder. It only changes the view, so it
// stays open during a run.
void chooseStandardAllan(app::Console& c);
void chooseModifiedAllan(app::Console& c);
void chooseTdev(app::Console& c);
void chooseMtie(app::Console& c);

// Start-up: the measure chosen last. A missing file leaves the standard Allan deviation; a file
// that cannot be read or names no measure is said in the status line.
void restoreStabilityMeasure(app::Console& c);

// The "e" key of the stability plot: shows or hides the 68 % confidence intervals.
void toggleErrorBars(app::Console& c);

}  // namespace tessarin::graphics
