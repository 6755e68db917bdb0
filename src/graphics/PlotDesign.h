#pragma once

#include <QString>

namespace tessarin::graphics {

// How a plot looks before the console changes anything: title, captions, units, axis types and
// ranges.
struct PlotDesign {
  QString title;
  QString xCaption;
  QString xUnit;  // the unit of the X values, shown after the X caption; empty: none
  QString yUnit;  // the unit of the Y values, shown beside the Y axis; empty: none
  bool xLogarithmic = false;
  bool yLogarithmic = false;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int widthTwips = 6075;
  int heightTwips = 3150;
};

// The data plot: frequency or phase difference, in units of 1E-12, against the sample number.
inline PlotDesign DataPlotDesign() {
  return {"Frequency Diff.", "Samples", "", "1E-12", false, false, 1, 1000, -10, 10, 6075, 3150};
}

// The stability plot: Allan deviation, a pure number, against tau in seconds; both axes
// logarithmic.
inline PlotDesign StabilityPlotDesign() {
  return {"Allan Dev.", "Tau", "Sec", "", true, true, 1, 1000, 1e-14, 1e-11, 6075, 3150};
}

}  // namespace tessarin::graphics
