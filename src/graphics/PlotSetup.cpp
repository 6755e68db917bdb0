#include "graphics/PlotSetup.h"

#include <cmath>

#include "app/Console.h"

void labelStabilityAxis(Console& c) {
  const int mantissa[] = {0, 1, 2};  // element 0 unused: the mantissas are taken as 2, then 1
  c.stabilityPlot.setYAxisMode(2);
  for (int k = -3; k >= -18; --k) {
    for (int i = 2; i >= 1; --i) {
      const double value = mantissa[i] * std::pow(10.0, k);
      const QString text = QString::number(mantissa[i]) + "E" + QString::number(k);
      // Decade values carry the stronger tick and grid styles.
      const bool decade = mantissa[i] == 1;
      c.stabilityPlot.addYLabel(text, value, true, decade ? 3 : 2, decade ? 2 : 1);
    }
  }
}

void fitPlotsToWindows(Console& c) {
  c.dataPlot.setWidth(c.windows.dataWindow.width() - 100);
  c.stabilityPlot.setWidth(c.windows.stabilityWindow.width() - 100);
  c.dataPlot.setHeight(c.windows.dataWindow.height() - 400);
  c.stabilityPlot.setHeight(c.windows.stabilityWindow.height() - 400);
}

void fitPlotToWindow(Console& c, const ChildWindow& window) {
  PlotControl& plot = &window == &c.windows.dataWindow ? c.dataPlot : c.stabilityPlot;
  const int width = window.width() - 100;
  const int height = window.height() - 400;
  if (width <= 0 || height <= 0) return;
  plot.setWidth(width);
  plot.setHeight(height);
}
