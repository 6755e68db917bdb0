#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "stability/Confidence.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

// The long-tau statistics of NIST SP 1065 (W. J. Riley, Handbook of Frequency Stability Analysis,
// 2008), section 5.2, over a phase series x of N points every tau0 seconds, a NaN sample a gap.
//
// MTOTDEV: every subsequence of 3m phase points has its linear frequency taken out by the
// half-average slope (the means of its first and last halves over the distance between their
// centres), is extended at both ends by uninverted even reflection to 9m points, and gives the mean
// square of its 6m modified second differences (of m-point averages) starting at the first 6m
// points of the extension; MTOTVAR is the mean of those over the N - 3m + 1 subsequences over
// 2 tau^2. TTOTDEV = tau / sqrt(3) MTOTDEV. HTOTDEV is the same construction on the N - 1
// fractional frequencies, their second differences of m-point averages over 6 (the Hadamard
// variance); at m = 1 SP 1065 takes the overlapping Hadamard deviation. A subsequence that holds a
// gap is left out: the term count is the subsequences used.
// Cost: O(N m) per factor. Prefix sums of the series (kept as an unevaluated pair of doubles)
// give each subsequence's half-average slope and first difference in O(1); from there each
// difference follows from the one before by a step of two combined series points, and the
// extension's symmetry about its joins leaves 3m of the 6m differences to form, eight starts at
// once (ReflectedTotal.cpp).
//
// Theo1 at tau = 0.75 m tau0, m even from 2 to N - 1:
//   Theo1 = 1 / (0.75 (mtau0)^2) sum_{d=0}^{m/2-1} 1 / (m/2 - d) mean_i [(x_i - x_{i+m/2-d}) +
//           (x_{i+m} - x_{i+m/2+d})]^2,
// the mean over the starts i = 0 .. N - m - 1 whose four points are there (SP 1065's
// normalisation without gaps). The term count is the (i, d) pairs used. Cost O((N - m) m / 2) per
// factor, each term two differences of samples and a square.
//
// TheoBR = Theo1 times the mean over i = 0 .. n of AVAR(9 + 3i) / Theo1(12 + 4i), n =
// floor(0.1 N / 3 - 3) (Howe and Tasset, as SP 1065 gives it), AVAR the overlapping Allan variance
// at the same tau. Beyond 8192 points the ratio is taken on the means of blocks of
// ceil(N / 8192) points, the phase averaging with which Taylor and Howe's fast TheoBR keeps the
// ratio's cost bounded; so it costs at most about 6e8 Theo1 terms, once per series (the last
// series' ratio is kept for its further factors). TheoH is the overlapping Allan deviation at
// tau = m tau0 below a tenth of the record (10 m < N) and TheoBR from tau = 0.75 m tau0 >= N tau0 /
// 10 on (even m): the switch of Howe, Taylor and Tasset at k = 10% of the record.
//
// At one factor, TTOTDEV takes MTOTDEV's sums and TheoBR and TheoH Theo1's (longTauEstimates()),
// and TheoBR's ratio is formed once per series (LongTauSeries).
//
// Bias: TheoBR and TheoH always carry their own bias removal (it is what they are; theo1 is their
// uncorrected form). The noise-type bias of the total deviations is removed by removeNoiseBias()
// below, which the analyser applies unless asked not to.

bool isLongTau(Statistic statistic);

// A phase series and what its long-tau statistics share across factors: TheoBR's bias ratio,
// formed once by whichever thread asks for it first.
class LongTauSeries {
 public:
  explicit LongTauSeries(std::span<const double> phase) : phase_(phase) {}
  std::span<const double> phase() const { return phase_; }
  double theoBiasRatio();

 private:
  std::span<const double> phase_;
  std::once_flag ratioOnce_;
  double ratio_ = 0;
};

// The estimates of long-tau statistics at one factor, uncorrected for noise bias; those that share
// a sum there get it from one pass.
std::vector<Estimate> longTauEstimates(std::span<const Statistic> statistics, LongTauSeries& series,
                                       double tau0, int factor);

// The estimate of one long-tau statistic, uncorrected for noise bias, its sums formed afresh.
Estimate longTauEstimate(Statistic statistic, std::span<const double> phase, double tau0,
                         int factor);

// Whether TheoH takes the overlapping Allan deviation at factor m over N points (else TheoBR).
bool theohTakesAllan(std::int64_t factor, std::int64_t sampleCount);

// The bias of the deviation for noise type alpha at factor m, as E[estimate^2] / E[variance]:
// MTOTDEV and TTOTDEV against MDEV, 0.94, 0.83, 0.73, 0.70, 0.69 for alpha = 2 .. -2 (SP 1065;
// its 1000-point test values are the raw ones divided by sqrt(0.73), the white FM of that set);
// HTOTDEV against HDEV for m > 1, 1 + a with a = -0.005, -0.149, -0.229, -0.283, -0.321 for
// alpha = 0 .. -4 (Howe, Beard, Greenhall, Vernotte, Riley and Tasset, the Hadamard total
// variance); 1 for every other statistic and noise.
double noiseBias(Statistic statistic, int alpha, int factor);

// Divides each row's value and interval by sqrt(noiseBias()) for the noise type found there; a row
// without a noise type stays as it is.
void removeNoiseBias(Statistic statistic, std::span<AnalysisRow> rows);

// The long-tau family's share of equivalentDegreesOfFreedom() and gapFreeTerms(): NaN and
// 0 for any other statistic.
double longTauDegreesOfFreedom(Statistic statistic, int alpha, int factor, std::int64_t sampleCount,
                               EdfMethod method);
double longTauGapFreeTerms(Statistic statistic, int factor, std::int64_t sampleCount);

}  // namespace tessarin::stability
