// Feeds the data plot one sample at a time as a run does (the new point appended, then an
// autoscale) and prints what one sample costs as the curve grows to a full run, what revising the
// newest sample costs, and what one redraw of the full curve costs. Redraws are queued during the
// growth, as in the console, so the per-sample figures hold the data update and the autoscale
// only.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "graphics/PlotDesign.h"
#include "qt/QCustomPlotControl.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double Percentile(std::vector<double> values, double share) {
  const auto at =
      values.begin() + static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), at, values.end());
  return *at;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  constexpr std::size_t kPoints = 1000000;
  constexpr std::size_t kWindow = 1000;  // calls measured up to each checkpoint
  const std::vector<std::size_t> checkpoints = {1000, 10000, 100000, 500000, 1000000};

  std::mt19937 generator(20261207);
  std::normal_distribution<double> noise(0.0, 3.0);
  std::vector<double> y(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) y[i] = noise(generator) + 1e-5 * static_cast<double>(i);

  tessarin::qt::QCustomPlotControl plot(tessarin::graphics::DataPlotDesign());
  plot.widget()->show();

  std::vector<double> perAppend(kPoints), perReplace(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) {
    const double x = static_cast<double>(i + 1);
    Clock::time_point start = Clock::now();
    plot.appendPoint("Curve1", x, y[i]);
    plot.autoscaleNow();
    perAppend[i] = Microseconds(Clock::now() - start);
    // The newest sample revised once it is shown.
    start = Clock::now();
    plot.replaceLastPoint("Curve1", y[i] + 0.5);
    plot.autoscaleNow();
    perReplace[i] = Microseconds(Clock::now() - start);
  }

  std::printf("per sample, over the last %zu samples before N\n", kWindow);
  std::printf("%10s %14s %14s %14s %14s\n", "N", "append med us", "append p99 us", "replace med us",
              "replace p99 us");
  for (std::size_t n : checkpoints) {
    const auto from = static_cast<std::ptrdiff_t>(n - kWindow), to = static_cast<std::ptrdiff_t>(n);
    const std::vector<double> appends(perAppend.begin() + from, perAppend.begin() + to);
    const std::vector<double> replaces(perReplace.begin() + from, perReplace.begin() + to);
    std::printf("%10zu %14.3f %14.3f %14.3f %14.3f\n", n, Percentile(appends, 0.5),
                Percentile(appends, 0.99), Percentile(replaces, 0.5), Percentile(replaces, 0.99));
  }

  // The curve's storage grows by reallocation now and then: the rare worst call shows its cost.
  std::printf("worst single append: %.1f us; curve holds %d points\n",
              *std::max_element(perAppend.begin(), perAppend.end()),
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
    std::printf("full replot at %zu points (%dx%d px): median %.2f ms, first %.2f ms\n", kPoints,
                size.width(), size.height(), Percentile(replots, 0.5), replots.front());
  }
  return 0;
}
