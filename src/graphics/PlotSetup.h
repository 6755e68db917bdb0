#pragma once

#include "app/Console.h"

namespace tessarin::graphics {

// Gives the stability plot's Y axis its decade labels, 2E-3 down to 1E-18.
void labelStabilityAxis(app::Console& c);

// Fits each plot to its window: width - 100, height - 400 twips (both widths, then both heights).
void fitPlotsToWindows(app::Console& c);

// Fits the plot of one plot window (dataWindow or stabilityWindow) after the window was resized; a
// window too small for a plot leaves the plot as it was.
void fitPlotToWindow(app::Console& c, const app::ChildWindow& window);

}  // namespace tessarin::graphics
