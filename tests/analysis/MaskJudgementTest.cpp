#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/MaskJudgement.h"
#include "analysis/SeriesAnalysis.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {
namespace {

using stability::Statistic;

std::vector<double> whiteTimeError(double rms, int points) {
  std::mt19937_64 generator(20261208);
  std::normal_distribution<double> noise(0, rms);
  std::vector<double> phase(static_cast<std::size_t>(points));
  for (double& x : phase) x = noise(generator);
  return phase;
}

CurveAgainstMask judged(const std::vector<double>& phase, Statistic statistic,
                        std::string_view mask) {
  AnalysisRequest request;
  request.statistics = {statistic};
  const auto analysis = analyseSeries(phase, 1.0, request);
  EXPECT_TRUE(analysis) << analysis.reason().toStdString();
  return judgeCurve(*telecomMask(mask, statistic), analysis.value().statistics.front().rows);
}

// The time error of a clock 0.3 ns/s off frequency: its MTIE over m seconds is 0.3 m ns exactly.
std::vector<double> frequencyOffset(int points) {
  std::vector<double> phase;
  for (int k = 0; k < points; ++k) phase.push_back(0.3e-9 * k);
  return phase;
}

// White time error scaled so that its TDEV at tau 1 s is 0.998 ns, just within PRTC-B's 1 ns,
// while the upper bound of its interval over 1000 points is not.
std::vector<double> justWithinPrtcB() {
  std::vector<double> phase = whiteTimeError(1e-9, 1000);
  const double tdev = stability::estimate(Statistic::Tdev, phase, 1.0, 1).value;
  for (double& x : phase) x *= 0.998e-9 / tdev;
  return phase;
}

TEST(MaskJudgementTest, GeneratedTimeErrorMeetsFailsOrSitsMarginalWhereItsFiguresSay) {
  const struct Case {
    const char* what;
    std::vector<double> phase;
    Statistic statistic;
    const char* mask;
    MaskVerdict verdict;
    double firstTauNotPassing;  // 0: every point passes
    MaskVerdict there;
  } cases[] = {
      {"0.1 ns of white time error under G.811 PRC MTIE", whiteTimeError(0.1e-9, 4096),
       Statistic::Mtie, "prc", MaskVerdict::Pass, 0, MaskVerdict::Pass},
      {"0.1 ns of white time error under G.811 PRC TDEV", whiteTimeError(0.1e-9, 4096),
       Statistic::Tdev, "prc", MaskVerdict::Pass, 0, MaskVerdict::Pass},
      // 0.3 * 256 = 76.8 ns within 0.275e-3 * 256 + 0.025 us = 95.4 ns; 153.6 ns beyond 100 ns.
      {"0.3 ns/s off frequency against PRTC-A MTIE", frequencyOffset(4096), Statistic::Mtie,
       "prtc-a", MaskVerdict::Fail, 512, MaskVerdict::Fail},
      {"TDEV 0.998 ns at 1 s against PRTC-B's 1 ns", justWithinPrtcB(), Statistic::Tdev, "prtc-b",
       MaskVerdict::Marginal, 1, MaskVerdict::Marginal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CurveAgainstMask curve = judged(c.phase, c.statistic, c.mask);
    EXPECT_EQ(curve.verdict, c.verdict);
    ASSERT_TRUE(curve.worst.has_value());
    double firstNotPassing = 0;
    for (const MaskPoint& point : curve.points) {
      ASSERT_TRUE(point.limit.has_value()) << point.tau;
      if (point.verdict == MaskVerdict::Pass) {
        EXPECT_GT(point.margin, 0) << point.tau;
      } else if (firstNotPassing == 0) {
        firstNotPassing = point.tau;
        EXPECT_EQ(point.verdict, c.there);
      }
      if (c.verdict == MaskVerdict::Fail && firstNotPassing > 0) {
        EXPECT_EQ(point.verdict, MaskVerdict::Fail) << point.tau;
        EXPECT_LT(point.margin, 0) << point.tau;
      }
    }
    EXPECT_EQ(firstNotPassing, c.firstTauNotPassing);
    EXPECT_LE(curve.points[*curve.worst].margin, curve.points.front().margin);
  }
}

}  // namespace
}  // namespace tessarin::analysis
