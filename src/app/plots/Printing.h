#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// "&Print" > "&Data Plot" / "&Stability Plot": asks for the number of copies, copies the plot to
// the clipboard at the largest size the windows allow, on a white plot area, and prints it. A
// failure is shown in the status line; cancelling the dialog changes nothing.
void printDataPlot(Console& c);
void printStabilityPlot(Console& c);

}  // namespace tessarin::app::plots
