#pragma once

#include "app/Console.h"

namespace tessarin::graphics {

// "&Save Picture": asks for a bitmap file name, offering the one chosen last for either plot, and
// has the plot write its picture there. Cancelling is silent; a failed save shows in the status.
void saveDataPlotPicture(app::Console& c);
void saveStabilityPlotPicture(app::Console& c);

}  // namespace tessarin::graphics
