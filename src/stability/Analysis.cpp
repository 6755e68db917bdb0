#include <algorithm>
#include <cmath>
#include <limits>

#include "stability/Confidence.h"
#include "stability/DegreesOfFreedom.h"
#include "stability/EstimatesAtFactor.h"
#include "stability/NoiseIdentification.h"
#include "stability/NoiseReadings.h"

namespace tessarin::stability {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The series the noise is read from at successive factors: every m-th phase point, read where it
// lies, or the block means. At a factor that is a multiple of the last one the block means are
// made from the last one's in place (means of k block means), so octave factors cost about two
// passes over the phase in all instead of one each, and hold one series of means at a time.
class SeriesAtFactor {
 public:
  SeriesAtFactor(Statistic statistic, std::span<const double> phase)
      : onBlockMeans_(identifiesOnBlockMeans(statistic)), phase_(phase) {}

  StridedSeries at(int factor) {
    if (!onBlockMeans_) return StridedSeries(phase_, factor);
    if (factor == 1) return StridedSeries(phase_);
    if (factor_ > 1 && factor % factor_ == 0)
      toBlockMeans(means_, factor / factor_);
    else {
      // The last factor's means are no use for this one: let them go before the new ones come.
      std::vector<double>().swap(means_);
      means_ = blockMeans(phase_, factor);
    }
    factor_ = factor;
    return StridedSeries(means_);
  }

 private:
  bool onBlockMeans_;
  std::span<const double> phase_;
  std::vector<double> means_;
  int factor_ = 0;
};

// The statistic whose reading gives the noise type: for one type per tau, every m-th point through
// as many differences as any statistic takes, which is the overlapping Hadamard deviation's.
Statistic noiseReader(Statistic statistic, NoiseReading reading) {
  return reading == NoiseReading::OnePerTau ? Statistic::Ohdev : statistic;
}

// Below m = 4 the lag-1 autocorrelation tells white from flicker phase noise dependably.
constexpr int kLeastFactorForRatio = 4;

// White or flicker phase noise by the ratio of the modified to the Allan variance at the factor:
// the one whose expected ratio is nearest on a logarithmic scale, or white frequency noise, the
// nearest of the others, where the ratio is nearer theirs: the lag-1 autocorrelation of a short
// series of random-walk phase now and then looks stationary. Nullopt where the ratio cannot be
// formed (fewer than 3 m points, or no spread). Both variances come from one pass over the series,
// which forms each second difference once for the two.
std::optional<int> phaseNoiseByRatio(std::span<const double> phase, int factor) {
  constexpr Statistic kBoth[] = {Statistic::Mdev, Statistic::Oadev};
  const std::vector<Estimate> both = estimatesAtFactor(kBoth, phase, 1.0, factor);
  const double modified = both[0].value;
  const double allan = both[1].value;
  const double ratio = modified * modified / (allan * allan);
  if (!std::isfinite(ratio) || !(ratio > 0)) return std::nullopt;
  const auto between = [factor](int alpha) {
    return std::sqrt(modifiedToAllanRatio(alpha, factor) * modifiedToAllanRatio(alpha - 1, factor));
  };
  if (ratio > between(1)) return 0;
  return ratio > between(2) ? 1 : 2;
}

// The noise type at one factor, given the one taken at the factor before. Block means are left
// out of `shared`: they are made along the statistic's own factors.
std::optional<int> noiseTypeAt(Statistic reader, std::span<const double> phase, int factor,
                               StridedSeries atFactor, std::optional<int> before, EdfMethod method,
                               NoiseReadings* shared) {
  const bool byCoverage = method == EdfMethod::Coverage;
  const bool fewPoints =
      atFactor.size() < static_cast<std::int64_t>(kLeastPointsForAutocorrelation);
  const auto read = [&] { return identifyNoiseAt(reader, phase, factor, atFactor); };
  const bool keep = shared != nullptr && !identifiesOnBlockMeans(reader);
  std::optional<int> alpha = byCoverage && fewPoints && before ? before
                             : keep ? shared->byAutocorrelation(reader, factor, read)
                                    : read();
  if (!alpha) return before;
  if (byCoverage && *alpha >= 1 && factor >= kLeastFactorForRatio) {
    const auto ratio = [&] { return phaseNoiseByRatio(phase, factor); };
    return (shared != nullptr ? shared->byVarianceRatio(factor, ratio) : ratio()).value_or(*alpha);
  }
  return alpha;
}

}  // namespace

std::vector<AnalysisRow> analyse(Statistic statistic, std::span<const double> phase, double tau0,
                                 std::span<const int> factors, double confidence,
                                 AnalysisMethod method, NoiseReadings* shared,
                                 std::span<const Estimate> estimates) {
  const auto sampleCount = static_cast<std::int64_t>(phase.size());
  const bool hasGaps =
      std::any_of(phase.begin(), phase.end(), [](double x) { return std::isnan(x); });
  const Statistic reader = noiseReader(statistic, method.noise);
  const int steepestAlpha = 2 - 2 * mostDifferences(statistic);
  SeriesAtFactor series(reader, phase);
  std::optional<int> lastAlpha;
  std::vector<AnalysisRow> rows;
  rows.reserve(factors.size());
  for (std::size_t k = 0; k < factors.size(); ++k) {
    const int factor = factors[k];
    const Estimate value =
        k < estimates.size() ? estimates[k] : estimate(statistic, phase, tau0, factor);
    AnalysisRow row{value, std::nullopt, kNone, {kNone, kNone}};
    if (hasConfidenceInterval(statistic) && row.estimate.terms > 0) {
      std::optional<int> alpha =
          noiseTypeAt(reader, phase, factor, series.at(factor), lastAlpha, method.edf, shared);
      if (alpha) alpha = std::max(*alpha, steepestAlpha);
      lastAlpha = alpha;
      row.alpha = alpha;
      if (alpha) {
        row.edf = equivalentDegreesOfFreedom(statistic, *alpha, factor, sampleCount, method.edf);
        if (hasGaps) {
          const double full = gapFreeTerms(statistic, factor, sampleCount);
          if (full > 0) row.edf *= std::min(1.0, static_cast<double>(row.estimate.terms) / full);
        }
        row.interval = confidenceInterval(row.estimate.value, row.edf, confidence);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// The reading analyse() asks `shared` for at the factor under one type per tau, where it is sure
// to ask: where the points are enough for the autocorrelation, whatever the factor before found.
void readNoiseAhead(std::span<const double> phase, int factor, AnalysisMethod method,
                    NoiseReadings& shared) {
  if (method.noise != NoiseReading::OnePerTau || factor < 1) return;
  const Statistic reader = noiseReader(Statistic::Oadev, method.noise);
  const StridedSeries atFactor(phase, factor);
  if (atFactor.size() < static_cast<std::int64_t>(kLeastPointsForAutocorrelation)) return;
  const std::optional<int> alpha = shared.byAutocorrelation(
      reader, factor, [&] { return identifyNoiseAt(reader, phase, factor, atFactor); });
  // A phase noise read there is told white or flicker by the variance ratio, which costs two
  // statistics over the whole series at the factor, more than the reading itself: made ahead as
  // well, it is shared out between the threads too, where the statistics would each wait for it
  // factor by factor on one.
  if (method.edf == EdfMethod::Coverage && alpha && *alpha >= 1 && factor >= kLeastFactorForRatio)
    shared.byVarianceRatio(factor, [&] { return phaseNoiseByRatio(phase, factor); });
}

}  // namespace tessarin::stability
