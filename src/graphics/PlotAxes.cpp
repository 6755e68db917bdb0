#include "graphics/PlotAxes.h"

#include <QString>
#include <cmath>

namespace tessarin::graphics {

void labelStabilityAxis(platform::PlotControl& stabilityPlot) {
  stabilityPlot.showOnlyYLabels();
  for (int exponent = -3; exponent >= -18; --exponent) {
    // 2E-n before 1E-n; the decade value is emphasised.
    for (const int mantissa : {2, 1}) {
      const double value = mantissa * std::pow(10.0, exponent);
      const QString text = QString::number(mantissa) + "E" + QString::number(exponent);
      stabilityPlot.addYLabel(text, value, mantissa == 1);
    }
  }
}

void setPlotLimits(const PlotLimits& l, platform::PlotControl& dataPlot,
                   platform::PlotControl& stabilityPlot) {
  dataPlot.setXMinimum(l.sampleMin);
  dataPlot.setXMaximum(l.sampleMax);
  dataPlot.setYMinimum(l.deltaFMin);
  dataPlot.setYMaximum(l.deltaFMax);
  stabilityPlot.setXMinimum(l.tauMin);
  stabilityPlot.setXMaximum(l.tauMax);
  stabilityPlot.setYMinimum(l.sigmaMin);
  stabilityPlot.setYMaximum(l.sigmaMax);
}

}  // namespace tessarin::graphics
