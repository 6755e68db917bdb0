// Feeds the data plot one sample at a time as a run does (the whole series handed over, then an
// autoscale) and prints what one sample costs as the series grows to a full run, and what one
// redraw of the full series costs. Redraws are queued during the growth, as in the console, so
// the per-sample figures hold the data update and the autoscale only.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "graphics/PlotDesign.h"
#include "platform/qt/QCustomPlotControl.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double Percentile(std::vector<double> values, double share) {
  const auto at = values.begin() + static_cast<std::ptrdiff_t>(share * (values.size() - 1));
  std::nth_element(values.begin(), at, values.end());
  return *at;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  constexpr int kPoints = 1000000;
  constexpr int kWindow = 1000;  // calls measured up to each checkpoint
  const std::vector<int> checkpoints = {1000, 10000, 100000, 500000, 1000000};

  std::mt19937 generator(20261207);
  std::normal_distribution<double> noise(0.0, 3.0);
  std::vector<double> y(kPoints);
  for (int i = 0; i < kPoints; ++i) y[i] = noise(generator) + 1e-5 * i;

  QCustomPlotControl plot(DataPlotDesign());
  plot.widget()->show();
  plot.addCurve("Curve1", 1, 1, y.data(), 1);

  std::vector<double> perCall(kPoints);
  for (int n = 1; n <= kPoints; ++n) {
    const Clock::time_point start = Clock::now();
    plot.replaceCurveData(1, 1, y.data(), n);
    plot.autoscaleNow();
    perCall[n - 1] = Microseconds(Clock::now() - start);
  }

  std::printf("replaceCurveData + autoscaleNow, per sample (last %d calls before N)\n", kWindow);
  std::printf("%10s %12s %12s\n", "N", "median us", "p99 us");
  for (int n : checkpoints) {
    const std::vector<double> window(perCall.begin() + (n - kWindow), perCall.begin() + n);
    std::printf("%10d %12.3f %12.3f\n", n, Percentile(window, 0.5), Percentile(window, 0.99));
  }

  // The curve's storage grows by reallocation now and then: the rare worst call shows its cost.
  std::printf("worst single call: %.1f us; curve holds %d points\n",
              *std::max_element(perCall.begin(), perCall.end()),
              plot.widget()->graph(0)->dataCount());

  // At the design size and at a maximised window, where a printed copy is made.
  for (const QSize size : {plot.widget()->size(), QSize(1600, 1000)}) {
    plot.widget()->resize(size);
    std::vector<double> replots;
    for (int i = 0; i < 5; ++i) {
      const Clock::time_point start = Clock::now();
      plot.widget()->replot(QCustomPlot::rpImmediateRefresh);
      replots.push_back(Microseconds(Clock::now() - start) / 1000);
    }
    std::printf("full replot at %d points (%dx%d px): median %.2f ms, first %.2f ms\n", kPoints,
                size.width(), size.height(), Percentile(replots, 0.5), replots.front());
  }
  return 0;
}
