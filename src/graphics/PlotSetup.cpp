#include "graphics/PlotSetup.h"

#include <cmath>

#include "app/Console.h"

void SetupPlots(Console& c) {
  const int mantissa[] = {0, 1, 2};  // element 0 unused: the mantissas are taken as 2, then 1
  c.DynaPlot2.setYAxisMode(2);
  for (int k = -3; k >= -18; --k) {
    for (int i = 2; i >= 1; --i) {
      const double value = mantissa[i] * std::pow(10.0, k);
      const QString text = QString::number(mantissa[i]) + "E" + QString::number(k);
      // Decade values carry the stronger tick and grid styles.
      const bool decade = mantissa[i] == 1;
      c.DynaPlot2.addYLabel(text, value, true, decade ? 3 : 2, decade ? 2 : 1);
    }
  }
}

void FitPlotsToWindows(Console& c) {
  c.DynaPlot1.setWidth(c.win.frmData.width() - 100);
  c.DynaPlot2.setWidth(c.win.frmStat.width() - 100);
  c.DynaPlot1.setHeight(c.win.frmData.height() - 400);
  c.DynaPlot2.setHeight(c.win.frmStat.height() - 400);
}

void FitPlotToWindow(Console& c, const ChildWindow& window) {
  PlotControl& plot = &window == &c.win.frmData ? c.DynaPlot1 : c.DynaPlot2;
  const int width = window.width() - 100;
  const int height = window.height() - 400;
  if (width <= 0 || height <= 0) return;
  plot.setWidth(width);
  plot.setHeight(height);
}
