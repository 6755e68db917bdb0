#include "app/plots/PlotSetup.h"

#include "app/Console.h"

namespace tessarin::app::plots {

void fitPlotsToWindows(Console& c) {
  const Platform& p = c.platform();
  const Windows& w = c.windows();
  p.dataPlot.setWidth(w.dataWindow.width() - kPlotInsetWidth);
  p.stabilityPlot.setWidth(w.stabilityWindow.width() - kPlotInsetWidth);
  p.dataPlot.setHeight(w.dataWindow.height() - kPlotInsetHeight);
  p.stabilityPlot.setHeight(w.stabilityWindow.height() - kPlotInsetHeight);
}

void fitPlotToWindow(Console& c, const ChildWindow& window) {
  const Platform& p = c.platform();
  platform::PlotControl& plot = &window == &c.windows().dataWindow ? p.dataPlot : p.stabilityPlot;
  const int width = window.width() - kPlotInsetWidth;
  const int height = window.height() - kPlotInsetHeight;
  if (width <= 0 || height <= 0) return;
  plot.setWidth(width);
  plot.setHeight(height);
}

}  // namespace tessarin::app::plots
