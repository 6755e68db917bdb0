#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>
#include <cmath>
#include <cstdint>
#include <vector>

#include "run/AllanDeviation.h"
#include "support/ConsoleFixture.h"

namespace {

// The numbers of a text file, one row a line, without the '#' comment lines.
std::vector<std::vector<double>> readRows(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
  std::vector<std::vector<double>> rows;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    std::vector<double> row;
    for (const QString& field : line.split(' ', Qt::SkipEmptyParts))
      row.push_back(field.toDouble());
    rows.push_back(row);
  }
  return rows;
}

// PHASE.DAT as a series indexed from 1, element 0 unused.
std::vector<double> referencePhase() {
  std::vector<double> x{0};
  for (const auto& row : readRows(TESTDATA_DIR "/PHASE.DAT")) x.push_back(row.at(0));
  return x;
}

// The reference keeps every sample of the stride, the last block may be incomplete.
double referenceAdev(const std::vector<double>& phase, int m) {
  const int total = static_cast<int>(phase.size()) - 1;
  const int n = (total - 1) / m + 1;
  std::vector<double> x(n + 1);
  for (int i = 1; i <= n; ++i) x[i] = phase[(i - 1) * m + 1];
  return allanDeviationOfDecimated(x.data(), n, m);
}

TEST(allanDeviationOfDecimated, AgreesWithTheStable32TableAtEveryAveragingFactor) {
  const std::vector<double> phase = referencePhase();
  ASSERT_EQ(phase.size(), 1002u);
  const auto table = readRows(TESTDATA_DIR "/phase_dat_adev.txt");
  ASSERT_EQ(table.size(), 125u);
  for (const auto& row : table) {
    const int m = static_cast<int>(row.at(0));
    EXPECT_NEAR(referenceAdev(phase, m) / row.at(5), 1.0, 5e-5) << "m = " << m;
  }
}

TEST(allanDeviationOfDecimated, ReproducesThePublishedNbs14Figures) {
  // The NBS-14 1000-point frequency set, mean removed and integrated to 1001 phase points.
  std::vector<double> y;
  std::int64_t seed = 1234567890;
  for (int i = 0; i < 1000; ++i) {
    y.push_back(static_cast<double>(seed) / 2147483647.0);
    seed = 16807 * seed % 2147483647;
  }
  double mean = 0;
  for (double v : y) mean += v / y.size();
  std::vector<double> phase{0, 0};
  for (double v : y) phase.push_back(phase.back() + v - mean);

  const struct {
    int m;
    double adev;
  } published[] = {{1, 2.922319e-01}, {10, 9.965736e-02}, {100, 3.897804e-02}};
  for (const auto& p : published)
    EXPECT_NEAR(referenceAdev(phase, p.m) / p.adev, 1.0, 2e-6) << "m = " << p.m;
}

class AllanDeviationTest : public ConsoleFixture {
 protected:
  // A run's analysis state at sample N with the phases `phase` (sample k at index k - 1).
  Console& runAt(const std::vector<double>& phase, double tauSeconds = 1) {
    Console& c = console ? *console : startUp();
    for (std::size_t k = 0; k < phase.size(); ++k) c.st.dblPhaseData[k + 1] = phase[k];
    c.st.dblSampleIndex = static_cast<double>(phase.size());
    c.st.dblTauSeconds = tauSeconds;
    c.st.dblFirstFactor = 1;
    c.st.dblLevelOffset = 0;
    return c;
  }
  const FakePlot::Curve& curve() const {
    EXPECT_EQ(stabilityPlot.curves.size(), 1u);
    return stabilityPlot.curves.front();
  }
};

TEST_F(AllanDeviationTest, OctaveLevelsAgreeWithTheStable32Table) {
  const std::vector<double> phase = referencePhase();
  for (const auto& row : readRows(TESTDATA_DIR "/phase_dat_adev_octave.txt")) {
    const int m = static_cast<int>(row.at(0));
    // m - 1 further samples give the last, incomplete block its own decimated point.
    std::vector<double> series(phase.begin() + 1, phase.end());
    series.resize(series.size() + m - 1, 1e3);
    Console& c = runAt(series);
    analyseStability(c);
    const int k = static_cast<int>(std::log2(m)) + 1;
    ASSERT_GE(curve().y.size(), static_cast<std::size_t>(k));
    EXPECT_EQ(curve().x[k - 1], m);
    EXPECT_NEAR(curve().y[k - 1] / row.at(5), 1.0, 5e-5) << "m = " << m;
  }
}

TEST_F(AllanDeviationTest, WorkedSeriesGiveTheirKnownDeviations) {
  const double a = 3e-9;
  const double tau0 = 2;
  std::vector<double> linear, alternating;
  for (int k = 1; k <= 10; ++k) {
    linear.push_back(1e-9 * k);
    alternating.push_back(k % 2 ? a : -a);
  }

  analyseStability(runAt(linear, tau0));
  EXPECT_EQ(curve().name, "Curve2");
  EXPECT_FALSE(curve().flag);
  EXPECT_EQ(curve().x, (std::vector<double>{tau0, 2 * tau0}));
  EXPECT_NEAR(curve().y[0], 0, 1e-24);
  EXPECT_NEAR(curve().y[1], 0, 1e-24);

  analyseStability(runAt(alternating, tau0));
  EXPECT_NEAR(curve().y[0] / (2 * std::sqrt(2.0) * a / tau0), 1.0, 1e-12);
  EXPECT_EQ(curve().y[1], 0);
  EXPECT_EQ(console->st.dblFactor, 4);
  EXPECT_EQ(console->st.dblTauCurrent, 4 * tau0);
}

TEST_F(AllanDeviationTest, LevelsComputedFollowTheSampleCountAndFrozenLevelsStay) {
  const struct {
    int samples;
    double firstFactor;
    std::vector<double> tau;
  } cases[] = {
      {9, 1, {1}},
      {10, 1, {1, 2}},
      {20, 1, {1, 2, 4}},
      {3, 1, {}},
      {30000, 2, {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096}},
  };
  for (const auto& t : cases) {
    std::vector<double> phase(t.samples);
    for (int k = 0; k < t.samples; ++k) phase[k] = 1e-9 * std::sin(0.37 * k * k);
    Console& c = runAt(phase);
    c.st.dblAdev[1] = 0.125;  // level 1 as the last analysis before freezing left it
    c.st.dblAdevTau[1] = 1;
    c.st.dblFirstFactor = t.firstFactor;
    c.st.dblLevelOffset = std::log2(t.firstFactor);
    stabilityPlot.removeAllCalls = stabilityPlot.clearSecondListCalls = 0;

    analyseStability(c);
    EXPECT_EQ(stabilityPlot.removeAllCalls, 1);
    EXPECT_EQ(stabilityPlot.clearSecondListCalls, 1);
    if (t.tau.empty()) {
      EXPECT_TRUE(stabilityPlot.curves.empty());
      continue;
    }
    EXPECT_EQ(curve().x, t.tau) << "N = " << t.samples;
    if (t.firstFactor > 1) EXPECT_EQ(curve().y[0], 0.125);
    EXPECT_NE(curve().y.back(), 0.125);
  }
}

TEST_F(AllanDeviationTest, StabilityPlotIsAutoscaledOnlyWhenAutoscaleIsChosen) {
  const std::vector<double> phase(20, 1e-9);
  Console& c = runAt(phase);
  c.menus.autoscale.setChecked(true);
  analyseStability(c);
  EXPECT_EQ(stabilityPlot.autoscaleCalls, 1);
  c.menus.autoscale.setChecked(false);
  analyseStability(c);
  EXPECT_EQ(stabilityPlot.autoscaleCalls, 1);
}

}  // namespace
