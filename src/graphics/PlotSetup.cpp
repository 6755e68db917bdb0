#include "graphics/PlotSetup.h"

#include <cmath>

#include "app/Console.h"

namespace tessarin::graphics {

void labelStabilityAxis(app::Console& c) {
  c.stabilityPlot.showOnlyYLabels();
  for (int exponent = -3; exponent >= -18; --exponent) {
    // 2E-n before 1E-n; the decade value is emphasised.
    for (const int mantissa : {2, 1}) {
      const double value = mantissa * std::pow(10.0, exponent);
      const QString text = QString::number(mantissa) + "E" + QString::number(exponent);
      c.stabilityPlot.addYLabel(text, value, mantissa == 1);
    }
  }
}

void fitPlotsToWindows(app::Console& c) {
  c.dataPlot.setWidth(c.windows.dataWindow.width() - 100);
  c.stabilityPlot.setWidth(c.windows.stabilityWindow.width() - 100);
  c.dataPlot.setHeight(c.windows.dataWindow.height() - 400);
  c.stabilityPlot.setHeight(c.windows.stabilityWindow.height() - 400);
}

void fitPlotToWindow(app::Console& c, const app::ChildWindow& window) {
  platform::PlotControl& plot = &window == &c.windows.dataWindow ? c.dataPlot : c.stabilityPlot;
  const int width = window.width() - 100;
  const int height = window.height() - 400;
  if (width <= 0 || height <= 0) return;
  plot.setWidth(width);
  plot.setHeight(height);
}

}  // namespace tessarin::graphics
