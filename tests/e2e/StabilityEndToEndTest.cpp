#include <qcustomplot.h>

#include <cmath>
#include <map>

#include "e2e/SimulatedConsole.h"

// A run of a few thousand samples of a simulated oscillator with one kind of noise: the Allan
// deviation the console hands to the stability plot has the level and the slope of that noise.
namespace tessarin::test {
namespace {

// Fast enough for a short test, slow enough that no line of one refinement stage of the
// initialization is still on its way when the next starts (which would spoil the tuning).
constexpr int kSpeedup = 200;
constexpr int kSamples = 2000;
constexpr double kLevel = 1e-10;  // the Allan deviation at 1 s = tau0 set in the simulator

// The curve "Curve2" of the stability plot: Allan deviation by tau.
std::map<double, double> stabilityCurve(qt::ConsoleApp& app) {
  QCustomPlot* plot = app.stabilityPlot().widget();
  std::map<double, double> curve;
  for (int i = 0; i < plot->graphCount(); ++i) {
    if (plot->graph(i)->name() != "Curve2") continue;
    const auto data = plot->graph(i)->data();
    for (auto point = data->constBegin(); point != data->constEnd(); ++point)
      curve[point->key] = point->value;
  }
  return curve;
}

// The standard deviation of a non-overlapped Allan deviation estimate from K second differences,
// relative to the true value, is c / sqrt(K): the estimate of the variance has the relative
// variance sum(rho_j^2 over all lags) * 2 / K for the correlations rho_j of neighbouring terms, and
// the deviation half of that relative spread.
//   White frequency: the terms are squared first differences of independent averages, rho_1 =
//     -1/2, so 2 (1 + 2/4) / K = 3 / K, and c = sqrt(3) / 2 = 0.87.
//   White phase: squared second differences of independent phases, rho_1 = -2/3, rho_2 = 1/6, so
//     2 (1 + 8/9 + 1/18) / K = 3.89 / K, and c = 0.99.
// A level passes within 5 of these standard deviations: a slope off by a half or a tau axis off by
// one octave lies far outside it, a chance failure about one run in a million.
constexpr double kStandardDeviations = 5;
// Only levels of this many terms or more are checked: the few-term levels at the long end say
// little.
constexpr int kFewestTerms = 50;

struct NoiseCase {
  const char* name;
  QStringList simOptions;
  double slope;
  double spreadFactor;  // c above
};

void PrintTo(const NoiseCase& test, std::ostream* out) { *out << test.name; }

class StabilityEndToEndTest : public SimulatedConsoleTest,
                              public ::testing::WithParamInterface<NoiseCase> {};

TEST_P(StabilityEndToEndTest, AllanDeviationFollowsTheNoiseLevelAndSlope) {
  const NoiseCase& noise = GetParam();
  launch(kSpeedup, noise.simOptions + QStringList{"--seed", "7"});
  chooseDataFile("stability.DAT");
  ASSERT_TRUE(initialize()) << status().toStdString();
  ASSERT_TRUE(runUntil(kSamples)) << status().toStdString();
  choose(console().menus().startStop);

  const std::map<double, double> curve = stabilityCurve(consoleApp());
  ASSERT_FALSE(curve.empty());
  ASSERT_EQ(curve.begin()->first, 1.0) << "the curve starts at tau0";
  const auto relativeSpread = [&](int m) {
    return noise.spreadFactor / std::sqrt(kSamples / m - 2);
  };
  int checked = 0;
  for (int m = 1; kSamples / m - 2 >= kFewestTerms; m *= 2) {
    ASSERT_TRUE(curve.contains(m)) << "no level at tau = " << m << " s";
    const double expected = kLevel * std::pow(m, noise.slope);
    EXPECT_NEAR(curve.at(m) / expected, 1.0, kStandardDeviations * relativeSpread(m))
        << "tau = " << m << " s";
    ++checked;
  }
  EXPECT_GE(checked, 6);

  // The slope between tau0 and the longest level checked, with the spread of both ends.
  const int longest = 1 << (checked - 1);
  const double slope = std::log(curve.at(longest) / curve.at(1)) / std::log(longest);
  const double slopeSpread =
      std::hypot(relativeSpread(1), relativeSpread(longest)) / std::log(longest);
  EXPECT_NEAR(slope, noise.slope, kStandardDeviations * slopeSpread);
}

INSTANTIATE_TEST_SUITE_P(
    Noises, StabilityEndToEndTest,
    ::testing::Values(NoiseCase{"WhiteFrequency", {"--wfm", "1e-10"}, -0.5, 0.87},
                      NoiseCase{"WhitePhase", {"--wpm", "1e-10"}, -1.0, 0.99}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tessarin::test
