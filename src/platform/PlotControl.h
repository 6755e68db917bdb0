#pragma once

#include <QString>
#include <cstdint>

// One plot of the console: the data plot (samples against sample number) or the stability plot
// (Allan deviation against tau). Sizes are in twips.
class PlotControl {
 public:
  virtual ~PlotControl() = default;

  // Title (text item 0).
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

  // Y-axis mode (2: the axis shows only the labels of its label list).
  virtual void setYAxisMode(int mode) = 0;
  // Adds a label to the Y axis's label list, with its emphasis (`priority`) and the styles of its
  // tick mark and grid line; higher style values are drawn more strongly.
  virtual void addYLabel(const QString& text, double value, bool priority, int ticmark,
                         int gridline) = 0;

  // Fits both axes to the current curves.
  virtual void autoscaleNow() = 0;
  // Redraws with the limits set last.
  virtual void applyLimitsNow() = 0;

  virtual int curveCount() const = 0;
  virtual void removeAllCurves() = 0;
  virtual void clearSecondItemList() = 0;

  // A curve of `count` points (xStart + i * xStep, y[i]), i = 0 .. count - 1.
  virtual void addCurve(const QString& name, double xStart, double xStep, const double* y,
                        int count) = 0;
  // A curve of `count` points (x[i], y[i]).
  virtual void addCurveXY(const QString& name, const double* x, const double* y, int count,
                          bool flag) = 0;
  // Replaces the data of the first curve with `count` points (xStart + i * xStep, y[i]). Called
  // once per sample with the whole series, so it must cost little when the series only grew by
  // one point or its last point changed.
  virtual void replaceCurveData(double xStart, double xStep, const double* y, int count) = 0;

  // Zoom and drag with the mouse.
  virtual bool interaction() const = 0;
  virtual void setInteraction(bool on) = 0;
  // Binds a key to a plot action.
  virtual void bindKey(std::int32_t kind, std::int32_t modifier, std::int32_t charCode,
                       std::int32_t action) = 0;

  // Colour of the plot area as 0xBBGGRR.
  virtual void setPlotAreaColor(std::uint32_t bgr) = 0;
  // Puts a bitmap of the whole plot on the clipboard; false when that failed.
  virtual bool copyToClipboard() = 0;
  // Writes the plot as a bitmap file; false when that failed.
  virtual bool savePicture(const QString& path) = 0;

  virtual void setWidth(int twips) = 0;
  virtual void setHeight(int twips) = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
};
