#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "analysis/HatTopology.h"
#include "analysis/SeriesAnalysis.h"
#include "platform/Result.h"

namespace tessarin::analysis {

// One measured pair: the phase of `first` minus that of `second`, in seconds, on the time line the
// other pairs share (sample k of every pair at the same instant), and how messages name it.
struct MeasuredPair {
  PairName name;
  std::span<const double> phase;
  std::string label;
};

// How a separated variance gets its interval. The spread of the separated variance is that of the
// least-squares sum of pair variances, sum_pq w_p w_q Cov(s_p^2, s_q^2), with the pairs' estimates
// taken as correlated where they share an oscillator: for Gaussian terms Cov(s_p^2, s_q^2) =
// 2 C_pq^2 / edf, C_pq the covariance of the two pairs' phase differences, which the separated
// variances give.
enum class HatInterval {
  // Normal on the variance: s^2 -+ z spread^(1/2), the lower bound at least zero. The analyser's:
  // the measured coverage (tools/hatcoverage, docs/hat.md) is the closest to the stated one.
  NormalOnVariance,
  // Chi-squared on the deviation with Satterthwaite's degrees of freedom, 2 s^4 / spread.
  Satterthwaite,
  // The same, the pairs' estimates taken as independent: spread sum_p w_p^2 2 s_p^4 / edf_p.
  SatterthwaiteIndependentPairs,
  // Satterthwaite's where the variance stands clear of zero (s^2 > z spread^(1/2)), else normal.
  SatterthwaiteClearOfZero,
};

// The method in a sentence, for the table, the plot and the report.
std::string_view methodOf(HatInterval intervals);

struct HatRequest {
  AnalysisRequest analysis;  // the statistics, factors, confidence and preprocessing of each pair
  HatInterval intervals = HatInterval::NormalOnVariance;
};

// One oscillator's deviation at one factor. Where the separated variance is at or below zero there
// is no value, `note` says so, and only the upper bound of the interval is given.
struct HatRow {
  double tau = 0;
  int factor = 0;
  std::int64_t terms = 0;  // the fewest of any pair's
  std::optional<double> value;
  double variance = 0;  // the separated variance, which may be negative
  std::optional<double> ciLow;
  std::optional<double> ciHigh;
  std::string note;  // empty for a positive estimate
};

// The note of a row whose variance came out at or below zero, with intervals and without.
inline constexpr const char* kNegativeNote = "negative estimate: upper bound only";
inline constexpr const char* kNegativeValueOnlyNote = "negative estimate: no value";

struct HatCurve {
  int oscillator = 0;
  stability::Statistic statistic{};
  std::vector<HatRow> rows;
};

struct CorneredHat {
  double tau0 = 0;
  HatTopology topology;
  HatInterval intervals = HatInterval::NormalOnVariance;
  std::vector<HatCurve> curves;       // per oscillator, then per statistic
  std::vector<SeriesAnalysis> pairs;  // of every pair of topology.pairs, in its order
  std::vector<std::string> warnings;  // factors left out, for the operator
};

// The N-cornered hat: the deviation of each oscillator the measured pairs name, separated from
// the pairs' deviations by the method of their layout (methodOf()), for every statistic of the
// request (each a variance of a linear filter of the phase: not mtie or tierms) at its factors.
// Every pair must have the same number of points. Fails, naming the pairs' labels, when the pairs
// cannot be tied into one hat (hatTopology()) or are too short.
platform::Result<CorneredHat> analyseHat(std::span<const MeasuredPair> pairs, double tau0,
                                         const HatRequest& request);

// Each oscillator's row at the `row`-th factor of statistic number `statistic` of the hat's pair
// analyses, separated again with the confidence and interval method of `request`: what analyseHat()
// gives there under that request.
std::vector<HatRow> separateAt(const CorneredHat& hat, std::size_t statistic, std::size_t row,
                               const HatRequest& request);

}  // namespace tessarin::analysis
