#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stability/Accumulators.h"
#include "stability/MaximumTimeIntervalError.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

// Windows longer than a block are cut at the blocks they span; each cut must give the windows and
// the value of the running form, which slides its extremes along one sample at a time.
TEST(MaximumTimeIntervalError, WindowsCutAtBlocksAreThoseOfTheRunningForm) {
  const struct {
    int factor;
    std::int64_t block;
    std::vector<std::int64_t> gaps;
  } cases[] = {
      {15, 16, {}},        {63, 16, {}},          {99, 16, {}},  {200, 16, {300, 301, 777}},
      {500, 7, {0, 999}},  {998, 16, {500}},      {999, 16, {}}, {1000, 16, {}},
      {99, 1 << 16, {40}}, {400, 128, {10, 990}},
  };
  for (const auto& c : cases) {
    std::vector<double> phase = noisyPhase(1000, 1e-7, 0, 21);
    for (const std::int64_t gap : c.gaps) phase[static_cast<std::size_t>(gap)] = std::nan("");
    MtieAccumulator running(c.factor);
    running.extend(phase);
    const Estimate expected = running.estimate(phase, 1);
    const Estimate cut = maximumTimeIntervalError(phase, 1, c.factor, c.block);
    EXPECT_EQ(cut.terms, expected.terms) << "m " << c.factor << " block " << c.block;
    if (expected.terms > 0)
      EXPECT_EQ(cut.value, expected.value) << "m " << c.factor << " block " << c.block;
    else
      EXPECT_TRUE(std::isnan(cut.value));
  }
}

// The factors that double, taken together a stretch of windows at a time and beyond that cut at
// blocks passed over where they cannot hold the worst window, must give each the windows and the
// value it has alone, over series longer than a stretch and not a whole number of them, as short
// as the longest window, with a drift (no block passed over) and without, and with a gap, where
// each is taken alone.
TEST(MaximumTimeIntervalError, FactorsTakenTogetherAreEachAlone) {
  const std::vector<int> factors = {1, 2, 3, 4, 64, 1000, 1024, 4096, 8192, 10000, 16384, 32768};
  const struct {
    int points;
    double frequencyOffset;
    double gapShare;
  } cases[] = {{40009, 1e-7, 0}, {40009, 0, 0}, {4097, 0, 0}, {5, 0, 0}, {40009, 0, 0.0001}};
  for (const auto& c : cases) {
    const std::vector<double> phase = noisyPhase(c.points, c.frequencyOffset, c.gapShare, 23);
    const std::vector<Estimate> together = maximumTimeIntervalErrors(phase, 2, factors);
    ASSERT_EQ(together.size(), factors.size());
    for (std::size_t k = 0; k < factors.size(); ++k) {
      const Estimate alone = maximumTimeIntervalError(phase, 2, factors[k]);
      EXPECT_EQ(together[k].terms, alone.terms) << c.points << " points, m " << factors[k];
      EXPECT_TRUE(together[k].value == alone.value ||
                  (std::isnan(together[k].value) && std::isnan(alone.value)))
          << c.points << " points, m " << factors[k];
    }
  }
}

}  // namespace
}  // namespace tessarin::stability
