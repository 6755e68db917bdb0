#pragma once

class Console;

// Gives the stability plot's Y axis its decade labels, 2E-3 down to 1E-18.
void labelStabilityAxis(Console& c);

// Fits each plot to its window: width - 100, height - 400 twips (both widths, then both heights).
void fitPlotsToWindows(Console& c);

class ChildWindow;
// Fits the plot of one plot window (dataWindow or stabilityWindow) after the window was resized; a
// window too small for a plot leaves the plot as it was.
void fitPlotToWindow(Console& c, const ChildWindow& window);
