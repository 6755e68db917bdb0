#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// "&Save Picture": asks for a bitmap file name, offering the one chosen last for either plot, and
// has the plot write its picture there. Cancelling is silent; a failed save shows in the status.
void saveDataPlotPicture(Console& c);
void saveStabilityPlotPicture(Console& c);

}  // namespace tessarin::app::plots
