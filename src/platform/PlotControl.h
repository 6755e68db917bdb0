#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/Result.h"

namespace tessarin::platform {

// One plot of the console: the data plot (samples against sample number) or the stability plot
// (a stability measure against tau). Sizes are in twips.
class PlotControl {
 public:
  virtual ~PlotControl() = default;

  virtual QString title() const = 0;
  virtual void setTitle(const QString& title) = 0;

  // Axis limits; the axes span exactly these values until the next autoscale.
  virtual void setXMinimum(double value) = 0;
  virtual void setXMaximum(double value) = 0;
  virtual void setYMinimum(double value) = 0;
  virtual void setYMaximum(double value) = 0;
  virtual double xMinimum() const = 0;
  virtual double xMaximum() const = 0;
  virtual double yMinimum() const = 0;
  virtual double yMaximum() const = 0;

  // From now on the Y axis shows only the labels of its label list.
  virtual void showOnlyYLabels() = 0;
  // Adds a label to the Y axis's label list; an emphasised label gets a longer tick mark and a
  // stronger grid line.
  virtual void addYLabel(const QString& text, double value, bool emphasised) = 0;

  // Fits both axes to the current curves.
  virtual void autoscaleNow() = 0;
  // Redraws with the limits set last.
  virtual void applyLimitsNow() = 0;

  virtual int curveCount() const = 0;
  virtual void removeAllCurves() = 0;
  // Removes the plot's items (texts, arrows and the like) beside its curves.
  virtual void removeAllItems() = 0;

  // Appends the point (x, y) to the curve `name`, which is created when it does not exist yet.
  virtual void appendPoint(const QString& name, double x, double y) = 0;
  // Gives the last point of the curve `name` the value `y`.
  virtual void replaceLastPoint(const QString& name, double y) = 0;
  // Replaces the curve `name` (created when missing) by the points (x[i], y[i]), drawn with a
  // marker at each point. `x` and `y` have the same length.
  virtual void setCurve(const QString& name, std::span<const double> x,
                        std::span<const double> y) = 0;
  // Gives point i of the curve `name` an error bar from low[i] to high[i] (NaN bounds: no bar at
  // that point); empty spans take the bars away. The bars go with the curve.
  virtual void setErrorBars(const QString& name, std::span<const double> low,
                            std::span<const double> high) = 0;
  // Replaces the limit line `name` (created when missing) by the points (x[i], y[i]): a plain
  // dashed line in a colour of its own, never marked, that autoscale fits like a curve. Empty
  // spans leave the line without points.
  virtual void setLimitLine(const QString& name, std::span<const double> x,
                            std::span<const double> y) = 0;
  // The unit of the Y values, shown beside the Y axis; empty: none.
  virtual void setYUnit(const QString& unit) = 0;

  // Zoom and drag with the mouse.
  virtual bool interaction() const = 0;
  virtual void setInteraction(bool on) = 0;
  // Makes a plain character key work on the plot: a autoscale, l limits, i zoom in, b zoom out,
  // y fit Y to the visible X range, p lines or points, e error bars (through onErrorBarsKey).
  virtual void bindKey(char key) = 0;
  // The operator pressed the bound key "e": the console decides whether error bars are shown.
  std::function<void()> onErrorBarsKey;

  // Colour of the plot area as 0xBBGGRR.
  virtual void setPlotAreaColor(std::uint32_t bgr) = 0;
  // Puts a bitmap of the whole plot on the clipboard; false when that failed.
  virtual bool copyToClipboard() = 0;
  // Writes the whole plot in its screen colours as a bitmap file; the failure names the path and
  // the reason.
  virtual Result<> savePicture(const QString& path) = 0;

  virtual void setWidth(int twips) = 0;
  virtual void setHeight(int twips) = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
};

}  // namespace tessarin::platform
