#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "analysis/TelecomMasks.h"

namespace tessarin::analysis {
namespace {

using stability::Statistic;

constexpr double kNotCovered = std::numeric_limits<double>::quiet_NaN();

struct LimitCase {
  const char* mask;
  Statistic statistic;
  double tau;
  double limitNs;  // NaN: not covered
};

// The limits of the Recommendations' tables, worked out by hand at, just below and just above
// every breakpoint and at the ends of each mask's range.
const LimitCase kLimits[] = {
    // G.811 PRC MTIE: 0.275e-3 tau + 0.025 us below 1000 s, 1e-5 tau + 0.29 us from there.
    {"prc", Statistic::Mtie, 0.0999, kNotCovered},
    {"prc", Statistic::Mtie, 0.1, 25.0275},
    {"prc", Statistic::Mtie, 999, 299.725},
    {"prc", Statistic::Mtie, 1000, 300},
    {"prc", Statistic::Mtie, 1001, 300.01},
    {"prc", Statistic::Mtie, 1e6, 10290},
    // G.811 PRC TDEV: 3 ns below 100 s, 0.03 tau ns up to 1000 s, 30 ns up to 10 000 s.
    {"prc", Statistic::Tdev, 0.0999, kNotCovered},
    {"prc", Statistic::Tdev, 0.1, 3},
    {"prc", Statistic::Tdev, 99.9, 3},
    {"prc", Statistic::Tdev, 100, 3},
    {"prc", Statistic::Tdev, 100.1, 3.003},
    {"prc", Statistic::Tdev, 999, 29.97},
    {"prc", Statistic::Tdev, 1000, 30},
    {"prc", Statistic::Tdev, 1001, 30},
    {"prc", Statistic::Tdev, 10000, 30},
    {"prc", Statistic::Tdev, 10001, kNotCovered},
    // G.8272 PRTC-A MTIE: 0.275e-3 tau + 0.025 us below 273 s, 100 ns from there.
    {"prtc-a", Statistic::Mtie, 0.0999, kNotCovered},
    {"prtc-a", Statistic::Mtie, 0.1, 25.0275},
    {"prtc-a", Statistic::Mtie, 272.9, 100.0475},
    {"prtc-a", Statistic::Mtie, 273, 100},
    {"prtc-a", Statistic::Mtie, 273.1, 100},
    {"prtc-a", Statistic::Mtie, 1e7, 100},
    // G.8272 PRTC-A TDEV: as G.811's.
    {"prtc-a", Statistic::Tdev, 0.0999, kNotCovered},
    {"prtc-a", Statistic::Tdev, 99.9, 3},
    {"prtc-a", Statistic::Tdev, 100.1, 3.003},
    {"prtc-a", Statistic::Tdev, 1000, 30},
    {"prtc-a", Statistic::Tdev, 1001, 30},
    {"prtc-a", Statistic::Tdev, 10001, kNotCovered},
    // G.8272 PRTC-B MTIE: 0.275e-3 tau + 0.025 us below 54.5 s, 40 ns from there.
    {"prtc-b", Statistic::Mtie, 0.0999, kNotCovered},
    {"prtc-b", Statistic::Mtie, 54.4, 39.96},
    {"prtc-b", Statistic::Mtie, 54.5, 40},
    {"prtc-b", Statistic::Mtie, 54.6, 40},
    // G.8272 PRTC-B TDEV: 1 ns below 100 s, 0.01 tau ns up to 500 s, 5 ns up to 10 000 s.
    {"prtc-b", Statistic::Tdev, 0.0999, kNotCovered},
    {"prtc-b", Statistic::Tdev, 0.1, 1},
    {"prtc-b", Statistic::Tdev, 99.9, 1},
    {"prtc-b", Statistic::Tdev, 100, 1},
    {"prtc-b", Statistic::Tdev, 100.1, 1.001},
    {"prtc-b", Statistic::Tdev, 499.9, 4.999},
    {"prtc-b", Statistic::Tdev, 500, 5},
    {"prtc-b", Statistic::Tdev, 500.1, 5},
    {"prtc-b", Statistic::Tdev, 10000, 5},
    {"prtc-b", Statistic::Tdev, 10001, kNotCovered},
    // G.8272.1 ePRTC MTIE: 4 ns up to 1 s, 0.11114 tau + 3.89 ns up to 100 s, 0.0375e-3 tau +
    // 15 ns up to 400 000 s, 30 ns beyond.
    {"eprtc", Statistic::Mtie, 0.0999, kNotCovered},
    {"eprtc", Statistic::Mtie, 0.1, 4},
    {"eprtc", Statistic::Mtie, 1, 4},
    {"eprtc", Statistic::Mtie, 1.001, 4.00125114},
    {"eprtc", Statistic::Mtie, 100, 15.004},
    {"eprtc", Statistic::Mtie, 100.1, 15.00375375},
    {"eprtc", Statistic::Mtie, 400000, 30},
    {"eprtc", Statistic::Mtie, 400001, 30},
    // G.8272.1 ePRTC TDEV: 1 ns below 30 000 s, 3.33333e-5 tau ns up to 300 000 s, 10 ns up to
    // 1 000 000 s.
    {"eprtc", Statistic::Tdev, 0.0999, kNotCovered},
    {"eprtc", Statistic::Tdev, 29999, 1},
    {"eprtc", Statistic::Tdev, 30000, 0.999999},
    {"eprtc", Statistic::Tdev, 30001, 1.0000323333},
    {"eprtc", Statistic::Tdev, 300000, 9.99999},
    {"eprtc", Statistic::Tdev, 300001, 10},
    {"eprtc", Statistic::Tdev, 1e6, 10},
    {"eprtc", Statistic::Tdev, 1000001, kNotCovered},
    // G.8262 EEC option 1 MTIE: 40 ns up to 1 s, 40 tau^0.1 ns up to 100 s, 25.25 tau^0.2 ns up to
    // 1000 s.
    {"eec1", Statistic::Mtie, 0.0999, kNotCovered},
    {"eec1", Statistic::Mtie, 0.1, 40},
    {"eec1", Statistic::Mtie, 1, 40},
    {"eec1", Statistic::Mtie, 1.001, 40.0039982011},
    {"eec1", Statistic::Mtie, 100, 63.3957276984},
    {"eec1", Statistic::Mtie, 100.1, 63.4378123511},
    {"eec1", Statistic::Mtie, 1000, 100.522060565},
    {"eec1", Statistic::Mtie, 1000.1, kNotCovered},
    // G.8262 EEC option 1 TDEV: 3.2 ns up to 25 s, 0.64 tau^0.5 ns up to 100 s, 6.4 ns up to
    // 1000 s.
    {"eec1", Statistic::Tdev, 25, 3.2},
    {"eec1", Statistic::Tdev, 25.1, 3.20639361277},
    {"eec1", Statistic::Tdev, 100, 6.4},
    {"eec1", Statistic::Tdev, 100.1, 6.4},
    {"eec1", Statistic::Tdev, 1000, 6.4},
    {"eec1", Statistic::Tdev, 1000.1, kNotCovered},
    // G.8262 EEC option 2 MTIE: 20 ns up to 1 s, 20 tau^0.48 ns up to 10 s, 60 ns up to 1000 s.
    {"eec2", Statistic::Mtie, 1, 20},
    {"eec2", Statistic::Mtie, 1.001, 20.0095975053},
    {"eec2", Statistic::Mtie, 10, 60.3990344080},
    {"eec2", Statistic::Mtie, 10.1, 60},
    {"eec2", Statistic::Mtie, 1000, 60},
    {"eec2", Statistic::Mtie, 1000.1, kNotCovered},
    // G.8262 EEC option 2 TDEV: 3.2 tau^-0.5 ns up to 2.5 s, 2 ns up to 40 s, 0.32 tau^0.5 ns up to
    // 1000 s, 10 ns up to 10 000 s.
    {"eec2", Statistic::Tdev, 0.1, 10.1192885125},
    {"eec2", Statistic::Tdev, 2.5, 2.02385770251},
    {"eec2", Statistic::Tdev, 2.6, 2},
    {"eec2", Statistic::Tdev, 40, 2},
    {"eec2", Statistic::Tdev, 40.1, 2.02638594547},
    {"eec2", Statistic::Tdev, 1000, 10.1192885125},
    {"eec2", Statistic::Tdev, 1000.1, 10},
    {"eec2", Statistic::Tdev, 10000, 10},
    {"eec2", Statistic::Tdev, 10000.1, kNotCovered},
};

TEST(TelecomMasksTest, EachMaskGivesItsTablesLimitAtAndAroundEveryBreakpoint) {
  for (const LimitCase& c : kLimits) {
    SCOPED_TRACE(std::string(c.mask) + " " + (c.statistic == Statistic::Mtie ? "MTIE" : "TDEV") +
                 " at " + std::to_string(c.tau));
    const TelecomMask* mask = telecomMask(c.mask, c.statistic);
    ASSERT_NE(mask, nullptr);
    const std::optional<double> limit = maskLimit(*mask, c.tau);
    if (std::isnan(c.limitNs)) {
      EXPECT_FALSE(limit.has_value());
    } else {
      ASSERT_TRUE(limit.has_value());
      EXPECT_NEAR(*limit * 1e9, c.limitNs, c.limitNs * 1e-9);
    }
  }
}

TEST(TelecomMasksTest, EveryClockHasAnMtieAndATdevMaskAndNothingElse) {
  const std::vector<std::string_view> names = telecomMaskNames();
  EXPECT_EQ(names,
            (std::vector<std::string_view>{"prc", "prtc-a", "prtc-b", "eprtc", "eec1", "eec2"}));
  for (std::string_view name : names) {
    EXPECT_NE(telecomMask(name, Statistic::Mtie), nullptr);
    EXPECT_NE(telecomMask(name, Statistic::Tdev), nullptr);
    EXPECT_EQ(telecomMask(name, Statistic::Adev), nullptr);
  }
  EXPECT_EQ(telecomMask("ssu", Statistic::Mtie), nullptr);
}

TEST(TelecomMasksTest, AValueIsJudgedWithTheUpperBoundOfItsInterval) {
  const TelecomMask& mask = *telecomMask("prtc-b", Statistic::Tdev);  // 1 ns below 100 s
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double tau, value, upper;
    MaskVerdict verdict;
  } cases[] = {
      {10, 0.5e-9, 0.8e-9, MaskVerdict::Pass},
      {10, 1e-9, 1e-9, MaskVerdict::Pass},  // at the limit meets it
      {10, 0.9e-9, 1.2e-9, MaskVerdict::Marginal},
      {10, 1.1e-9, 1.5e-9, MaskVerdict::Fail},
      {10, 0.5e-9, nan, MaskVerdict::Pass},  // no interval: the value alone
      {10, 1.1e-9, nan, MaskVerdict::Fail},
      {0.01, 0.5e-9, 0.8e-9, MaskVerdict::NotCovered},  // below the range: never a pass
      {20000, 0.1e-9, 0.2e-9, MaskVerdict::NotCovered},
      {10, nan, nan, MaskVerdict::NotCovered},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tau);
    SCOPED_TRACE(c.value);
    EXPECT_EQ(judgeAgainstMask(mask, c.tau, c.value, c.upper), c.verdict);
  }
  using V = MaskVerdict;
  EXPECT_EQ(overallVerdict(std::vector{V::Pass, V::Marginal, V::Fail, V::NotCovered}), V::Fail);
  EXPECT_EQ(overallVerdict(std::vector{V::NotCovered, V::Pass, V::Marginal}), V::Marginal);
  EXPECT_EQ(overallVerdict(std::vector{V::NotCovered, V::Pass}), V::Pass);
  EXPECT_EQ(overallVerdict(std::vector{V::NotCovered, V::NotCovered}), V::NotCovered);
  EXPECT_EQ(overallVerdict(std::vector<V>{}), V::NotCovered);
}

TEST(TelecomMasksTest, TheDrawnLineFollowsTheMaskOverTheCoveredPartOfTheCurvesRange) {
  const TelecomMask& mask = *telecomMask("prtc-a", Statistic::Mtie);
  const MaskLine line = maskLine(mask, 0.01, 1000);
  ASSERT_GE(line.tau.size(), 60u);  // four decades, bent on logarithmic axes
  EXPECT_DOUBLE_EQ(line.tau.front(), 0.1);
  EXPECT_DOUBLE_EQ(line.tau.back(), 1000);
  for (std::size_t i = 0; i < line.tau.size(); ++i) {
    if (i > 0) {
      EXPECT_GE(line.tau[i], line.tau[i - 1]);
    }
    if (line.tau[i] == 273) continue;  // both sides of the breakpoint are drawn there
    EXPECT_NEAR(line.limit[i], *maskLimit(mask, line.tau[i]), 1e-15) << line.tau[i];
  }
  EXPECT_TRUE(maskLine(mask, 0.001, 0.05).tau.empty());
}

}  // namespace
}  // namespace tessarin::analysis
