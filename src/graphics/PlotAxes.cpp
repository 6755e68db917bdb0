#include "graphics/PlotAxes.h"

#include <QString>
#include <cmath>
#include <vector>

namespace tessarin::graphics {

namespace {

struct AxisLabel {
  QString text;
  double value;
  bool emphasised;
};

// 2E-n before 1E-n from 2E-3 down to 1E-18; the decade value is emphasised. Worked out once: the
// texts are the same for every console.
const std::vector<AxisLabel>& stabilityAxisLabels() {
  static const std::vector<AxisLabel> labels = [] {
    std::vector<AxisLabel> all;
    for (int exponent = -3; exponent >= -18; --exponent)
      for (const int mantissa : {2, 1})
        all.push_back({QString::number(mantissa) + "E" + QString::number(exponent),
                       mantissa * std::pow(10.0, exponent), mantissa == 1});
    return all;
  }();
  return labels;
}

}  // namespace

void labelStabilityAxis(platform::PlotControl& stabilityPlot) {
  stabilityPlot.showOnlyYLabels();
  for (const AxisLabel& label : stabilityAxisLabels())
    stabilityPlot.addYLabel(label.text, label.value, label.emphasised);
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
