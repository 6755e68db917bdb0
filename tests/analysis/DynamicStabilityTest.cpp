#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/DynamicStability.h"

namespace tessarin::analysis {
namespace {

using stability::Statistic;

constexpr Statistic kDeviations[] = {Statistic::Adev,  Statistic::Oadev, Statistic::Mdev,
                                     Statistic::Tdev,  Statistic::Hdev,  Statistic::Ohdev,
                                     Statistic::Totdev};

// White phase noise of `before` seconds rms up to sample `step` and `after` from there, on a
// phase that runs away at 1e-6 (a frequency offset), so that the sums have to survive both a
// large phase and a large change of level.
std::vector<double> steppedPhase(int count, int step, double before, double after) {
  std::mt19937_64 generator(20261207);
  std::normal_distribution<double> noise;
  std::vector<double> phase(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    phase[static_cast<std::size_t>(i)] = 1e-6 * i + (i < step ? before : after) * noise(generator);
  return phase;
}

TEST(DynamicStability, GivesEachWindowTheValueOfTheStatisticOverItsSliceAlone) {
  std::vector<double> gapped = steppedPhase(1500, 1500, 1e-9, 1e-9);
  for (const int gap : {3, 17, 401, 402, 777}) gapped[static_cast<std::size_t>(gap)] = NAN;
  for (int gap = 900; gap < 1040; ++gap)
    gapped[static_cast<std::size_t>(gap)] = NAN;  // joined runs
  const struct {
    const char* name;
    std::vector<double> phase;
  } series[] = {
      {"quiet then noisy", steppedPhase(1500, 700, 1e-12, 1e-9)},
      {"noisy then quiet", steppedPhase(1500, 700, 1e-9, 1e-12)},
      {"with gaps", gapped},
  };
  const DynamicWindows windows[] = {{64, 7}, {100, 100}, {50, 1}, {33, 5}, {400, 130}};
  for (const auto& s : series) {
    for (const Statistic statistic : kDeviations) {
      for (const DynamicWindows w : windows) {
        const DynamicMap map = dynamicStability(statistic, s.phase, 0.5, w);
        const std::string where = std::string(s.name) + ", " +
                                  std::string(stability::nameOf(statistic)) + ", " +
                                  std::to_string(w.window) + ":" + std::to_string(w.step);
        ASSERT_EQ(map.starts.size(), static_cast<std::size_t>((1500 - w.window) / w.step + 1))
            << where;
        ASSERT_FALSE(map.factors.empty()) << where;
        for (std::size_t k = 0; k < map.starts.size(); ++k) {
          const std::span<const double> slice(s.phase.data() + map.starts[k],
                                              static_cast<std::size_t>(w.window));
          for (std::size_t f = 0; f < map.factors.size(); ++f) {
            const stability::Estimate plain =
                stability::estimate(statistic, slice, 0.5, map.factors[f]);
            const stability::Estimate& got = map.at(k, f);
            ASSERT_EQ(got.terms, plain.terms) << where << ", window " << k << ", m " << got.factor;
            ASSERT_EQ(got.factor, plain.factor) << where;
            if (plain.terms == 0)
              ASSERT_TRUE(std::isnan(got.value)) << where << ", window " << k;
            else
              ASSERT_NEAR(got.value, plain.value, 1e-12 * plain.value)
                  << where << ", window " << k << ", m " << got.factor;
          }
        }
      }
    }
  }
}

TEST(DynamicStability, ShowsAStepInTheNoiseLevelAtTheFirstWindowThatReachesIt) {
  constexpr int kCount = 40000;
  constexpr int kStep = 20150;
  const std::vector<double> phase = steppedPhase(kCount, kStep, 1e-12, 1e-9);
  const DynamicWindows windows{4000, 400};
  // The first window whose last sample is the first noisy one or later.
  const auto expected = static_cast<std::ptrdiff_t>(
      std::ceil(static_cast<double>(kStep - windows.window + 1) / windows.step));
  for (const Statistic statistic : kDeviations) {
    const DynamicMap map = dynamicStability(statistic, phase, 1.0, windows);
    for (std::size_t f = 0; f < map.factors.size(); ++f) {
      // The non-overlapping deviations use every m-th point only (adev whole blocks of m), so at
      // m above half a step they may see the step a step or two later than the window reaches it.
      const bool decimated = statistic == Statistic::Adev || statistic == Statistic::Hdev;
      if (decimated && 2 * map.factors[f] > windows.step) continue;
      const double quiet = map.at(0, f).value;
      const double noisy = map.at(map.starts.size() - 1, f).value;
      ASSERT_GT(noisy, 100 * quiet) << stability::nameOf(statistic) << ", m " << map.factors[f];
      std::ptrdiff_t found = 0;
      // An order of magnitude above the quiet level, which a window of a few terms may not reach.
      while (map.at(static_cast<std::size_t>(found), f).value < 10 * quiet) ++found;
      EXPECT_LE(std::abs(found - expected), 1)
          << stability::nameOf(statistic) << ", m " << map.factors[f] << ": window " << found;
    }
  }
}

}  // namespace
}  // namespace tessarin::analysis
