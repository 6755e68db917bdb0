#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "app/watch/ReducedSeries.h"
#include "platform/PlotControl.h"

namespace tessarin::app::watch {

// One of the console's plots with a listener in between: everything goes on to the plot as it
// came, and the served page keeps a copy of the curve it was given (the stability curve and its
// bars as they are, the data curve reduced), so that the page shows the plots' own numbers.
class PlotTap : public platform::PlotControl {
 public:
  struct StabilityPoint {
    double tau, value, low, high;  // NaN bounds: no bar
  };

  PlotTap(platform::PlotControl& plot, QString curve);

  const ReducedSeries& dataPoints() const { return data_; }
  const std::vector<StabilityPoint>& stabilityPoints() const { return stability_; }
  // Counts every change of the curve, so that the page knows when to fetch it again.
  std::uint64_t revision() const { return revision_; }

  QString title() const override { return plot_.title(); }
  void setTitle(const QString& title) override;
  void setXMinimum(double value) override { plot_.setXMinimum(value); }
  void setXMaximum(double value) override { plot_.setXMaximum(value); }
  void setYMinimum(double value) override { plot_.setYMinimum(value); }
  void setYMaximum(double value) override { plot_.setYMaximum(value); }
  double xMinimum() const override { return plot_.xMinimum(); }
  double xMaximum() const override { return plot_.xMaximum(); }
  double yMinimum() const override { return plot_.yMinimum(); }
  double yMaximum() const override { return plot_.yMaximum(); }
  void showOnlyYLabels() override { plot_.showOnlyYLabels(); }
  void addYLabel(const QString& text, double value, bool emphasised) override {
    plot_.addYLabel(text, value, emphasised);
  }
  void autoscaleNow() override { plot_.autoscaleNow(); }
  void applyLimitsNow() override { plot_.applyLimitsNow(); }
  int curveCount() const override { return plot_.curveCount(); }
  void removeAllCurves() override;
  void removeAllItems() override { plot_.removeAllItems(); }
  void appendPoint(const QString& name, double x, double y) override;
  void replaceLastPoint(const QString& name, double y) override;
  void setCurve(const QString& name, std::span<const double> x, std::span<const double> y) override;
  void setErrorBars(const QString& name, std::span<const double> low,
                    std::span<const double> high) override;
  void setLimitLine(const QString& name, std::span<const double> x,
                    std::span<const double> y) override {
    plot_.setLimitLine(name, x, y);
  }
  void setYUnit(const QString& unit) override { plot_.setYUnit(unit); }
  bool interaction() const override { return plot_.interaction(); }
  void setInteraction(bool on) override { plot_.setInteraction(on); }
  void bindKey(char key) override;
  void setPlotAreaColor(std::uint32_t bgr) override { plot_.setPlotAreaColor(bgr); }
  bool copyToClipboard() override { return plot_.copyToClipboard(); }
  platform::Result<> savePicture(const QString& path) override { return plot_.savePicture(path); }
  void setWidth(int twips) override { plot_.setWidth(twips); }
  void setHeight(int twips) override { plot_.setHeight(twips); }
  int width() const override { return plot_.width(); }
  int height() const override { return plot_.height(); }

 private:
  platform::PlotControl& plot_;
  const QString curve_;
  ReducedSeries data_;
  std::vector<StabilityPoint> stability_;
  std::uint64_t revision_ = 0;
};

}  // namespace tessarin::app::watch
