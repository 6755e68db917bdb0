#include <algorithm>
#include <cmath>
#include <limits>

#include "stability/Confidence.h"
#include "stability/DegreesOfFreedom.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::stability {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The series the noise is read from at successive factors. At a factor that is a multiple of the
// last one it is made from the last one's series (every k-th point, or means of k block means), so
// octave factors cost about two passes over the phase in all instead of one each.
class SeriesAtFactor {
 public:
  SeriesAtFactor(Statistic statistic, std::span<const double> phase)
      : onBlockMeans_(identifiesOnBlockMeans(statistic)), phase_(phase) {}

  std::span<const double> at(int factor) {
    if (factor == 1) return phase_;
    const bool fromLast = factor_ > 1 && factor % factor_ == 0;
    const std::span<const double> source = fromLast ? std::span<const double>(series_) : phase_;
    const int step = fromLast ? factor / factor_ : factor;
    if (onBlockMeans_) {
      series_ = blockMeans(source, step);
    } else {
      std::vector<double> points;
      for (std::size_t i = 0; i < source.size(); i += static_cast<std::size_t>(step)) {
        points.push_back(source[i]);
      }
      series_.swap(points);
    }
    factor_ = factor;
    return series_;
  }

 private:
  bool onBlockMeans_;
  std::span<const double> phase_;
  std::vector<double> series_;
  int factor_ = 0;
};

}  // namespace

std::vector<AnalysisRow> analyse(Statistic statistic, std::span<const double> phase, double tau0,
                                 std::span<const int> factors, double confidence) {
  const auto sampleCount = static_cast<std::int64_t>(phase.size());
  const bool hasGaps =
      std::any_of(phase.begin(), phase.end(), [](double x) { return std::isnan(x); });
  SeriesAtFactor series(statistic, phase);
  std::optional<int> lastAlpha;
  std::vector<AnalysisRow> rows;
  rows.reserve(factors.size());
  for (const int factor : factors) {
    AnalysisRow row{estimate(statistic, phase, tau0, factor), std::nullopt, kNone, {kNone, kNone}};
    if (hasConfidenceInterval(statistic) && row.estimate.terms > 0) {
      std::optional<int> alpha = identifyNoiseAt(statistic, phase, factor, series.at(factor));
      if (!alpha) alpha = lastAlpha;
      lastAlpha = alpha;
      row.alpha = alpha;
      if (alpha) {
        row.edf = equivalentDegreesOfFreedom(statistic, *alpha, factor, sampleCount);
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

}  // namespace tessarin::stability
