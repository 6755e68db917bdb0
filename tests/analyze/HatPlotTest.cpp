#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>
#include <random>

#include "analysis/CorneredHat.h"
#include "output/HatPlot.h"

namespace tessarin::analyze::output {
namespace {

// A triangle whose C has no noise: its separated variance is negative at some factors.
analysis::CorneredHat quietTriangle() {
  std::mt19937_64 random(3);
  std::normal_distribution<double> step(0.0, 1e-11);
  std::vector<double> ab(2000), bc(2000), ca(2000);
  double a = 0, b = 0;
  for (std::size_t k = 0; k < ab.size(); ++k) {
    a += step(random);
    b += step(random);
    ab[k] = a - b;
    bc[k] = b;
    ca[k] = -a;
  }
  const analysis::MeasuredPair pairs[] = {
      {{"A", "B"}, ab, "ab"}, {{"B", "C"}, bc, "bc"}, {{"C", "A"}, ca, "ca"}};
  return analyseHat(pairs, 1.0, {}).value();
}

TEST(HatPlot, DrawsACurvePerOscillatorAndNegativeEstimatesAsUpperBoundMarkers) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "hat-plot-test";
  char* argv[] = {name};
  QApplication application(argc, argv);
  const analysis::CorneredHat hat = quietTriangle();
  QCustomPlot plot;
  drawHat(plot, hat);
  int bounds = 0;
  for (const analysis::HatCurve& curve : hat.curves) {
    const QString label =
        QString::fromStdString(
            hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)]) +
        " oadev";
    const QCPGraph* line = nullptr;
    const QCPGraph* markers = nullptr;
    for (int g = 0; g < plot.graphCount(); ++g) {
      if (plot.graph(g)->name() == label) line = plot.graph(g);
      if (plot.graph(g)->name() == label + ", upper bound of a negative estimate")
        markers = plot.graph(g);
    }
    ASSERT_NE(line, nullptr) << label.toStdString();
    ASSERT_EQ(line->data()->size(), static_cast<int>(curve.rows.size()));
    int k = 0;
    for (const analysis::HatRow& row : curve.rows) {
      const double drawn = (line->data()->constBegin() + k++)->value;
      if (row.value) {
        EXPECT_EQ(drawn, *row.value);
        continue;
      }
      EXPECT_TRUE(std::isnan(drawn));  // the curve is broken there
      ASSERT_NE(markers, nullptr);
      const auto found = markers->data()->findBegin(row.tau, false);
      ASSERT_NE(found, markers->data()->constEnd());
      EXPECT_EQ(found->value, *row.ciHigh);
      ++bounds;
    }
  }
  EXPECT_GT(bounds, 0);
}

}  // namespace
}  // namespace tessarin::analyze::output
