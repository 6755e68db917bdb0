#include <gtest/gtest.h>

#include <cmath>
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

}  // namespace
}  // namespace tessarin::stability
