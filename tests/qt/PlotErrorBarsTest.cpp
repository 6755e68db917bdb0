#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <cmath>
#include <vector>

#include "graphics/PlotDesign.h"
#include "qt/QCustomPlotControl.h"

namespace tessarin::qt {
namespace {

// The error bars the plot draws, as (below, above) distances from each point.
std::vector<std::pair<double, double>> Bars(QCustomPlot& plot) {
  std::vector<std::pair<double, double>> bars;
  for (int i = 0; i < plot.plottableCount(); ++i)
    if (const auto* errorBars = qobject_cast<QCPErrorBars*>(plot.plottable(i)))
      for (const QCPErrorBarsData& bar : *errorBars->data())
        bars.emplace_back(bar.errorMinus, bar.errorPlus);
  return bars;
}

TEST(PlotErrorBarsTest, BarsHangOnTheCurveUntilItsPointsAreReplaced) {
  QCustomPlotControl plot(graphics::StabilityPlotDesign());
  const std::vector<double> tau{1, 2, 4}, deviation{4e-12, 2e-12, 1e-12};
  plot.setCurve("Curve2", tau, deviation);
  const double nan = std::nan("");
  plot.setErrorBars("Curve2", std::vector<double>{3e-12, 1e-12, nan},
                    std::vector<double>{5e-12, 4e-12, nan});
  const auto bars = Bars(*plot.widget());
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_DOUBLE_EQ(bars[0].first, 1e-12);
  EXPECT_DOUBLE_EQ(bars[1].second, 2e-12);
  EXPECT_TRUE(std::isnan(bars[2].first));
  plot.widget()->replot();  // a point without a bar draws none

  plot.autoscaleNow();  // the bars stay inside the view: up to 5e-12, down to 1e-12
  EXPECT_LE(plot.widget()->yAxis->range().lower, 1e-12);
  EXPECT_GE(plot.widget()->yAxis->range().upper, 5e-12);

  plot.setCurve("Curve2", tau, deviation);
  EXPECT_TRUE(Bars(*plot.widget()).empty());
  plot.setErrorBars("Curve2", deviation, deviation);
  plot.setErrorBars("Curve2", {}, {});
  EXPECT_TRUE(Bars(*plot.widget()).empty());
  plot.setErrorBars("Curve2", deviation, deviation);
  plot.removeAllCurves();
  EXPECT_EQ(plot.widget()->plottableCount(), 0);
}

TEST(PlotErrorBarsTest, KeyEAsksTheConsoleOnceBound) {
  QCustomPlotControl plot(graphics::StabilityPlotDesign());
  int asked = 0;
  plot.onErrorBarsKey = [&asked] { ++asked; };
  const auto press = [&plot] {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
    QCoreApplication::sendEvent(plot.widget(), &event);
  };
  press();
  EXPECT_EQ(asked, 0);
  plot.bindKey('e');
  press();
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace tessarin::qt
