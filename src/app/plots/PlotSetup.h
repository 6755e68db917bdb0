#pragma once

namespace tessarin::app {
class Console;
class ChildWindow;
}  // namespace tessarin::app

namespace tessarin::app::plots {

// Fits each plot to its window, leaving the window's frame and caption free (both widths, then
// both heights).
void fitPlotsToWindows(Console& c);

// Fits the plot of one plot window (dataWindow or stabilityWindow) after the window was resized; a
// window too small for a plot leaves the plot as it was.
void fitPlotToWindow(Console& c, const ChildWindow& window);

}  // namespace tessarin::app::plots
