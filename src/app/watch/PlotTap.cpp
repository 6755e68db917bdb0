#include "app/watch/PlotTap.h"

#include <cmath>

namespace tessarin::app::watch {

PlotTap::PlotTap(platform::PlotControl& plot, QString curve)
    : plot_(plot), curve_(std::move(curve)) {}

void PlotTap::setTitle(const QString& title) {
  plot_.setTitle(title);
  ++revision_;
}

void PlotTap::removeAllCurves() {
  plot_.removeAllCurves();
  data_.clear();
  stability_.clear();
  ++revision_;
}

void PlotTap::appendPoint(const QString& name, double x, double y) {
  plot_.appendPoint(name, x, y);
  if (name != curve_) return;
  data_.append(x, y);
  ++revision_;
}

void PlotTap::replaceLastPoint(const QString& name, double y) {
  plot_.replaceLastPoint(name, y);
  if (name != curve_) return;
  data_.replaceLast(y);
  ++revision_;
}

void PlotTap::setCurve(const QString& name, std::span<const double> x, std::span<const double> y) {
  plot_.setCurve(name, x, y);
  if (name != curve_) return;
  stability_.clear();
  for (std::size_t i = 0; i < x.size(); ++i) stability_.push_back({x[i], y[i], NAN, NAN});
  ++revision_;
}

void PlotTap::setErrorBars(const QString& name, std::span<const double> low,
                           std::span<const double> high) {
  plot_.setErrorBars(name, low, high);
  if (name != curve_) return;
  for (std::size_t i = 0; i < stability_.size(); ++i) {
    stability_[i].low = i < low.size() ? low[i] : NAN;
    stability_[i].high = i < high.size() ? high[i] : NAN;
  }
  ++revision_;
}

// The plot's key bindings call back into the console through the plot's own callback; the tap
// hands them the same callback.
void PlotTap::bindKey(char key) {
  plot_.onErrorBarsKey = [this] {
    if (onErrorBarsKey) onErrorBarsKey();
  };
  plot_.bindKey(key);
}

}  // namespace tessarin::app::watch
