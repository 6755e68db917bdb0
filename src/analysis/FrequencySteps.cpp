#include "analysis/FrequencySteps.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "analysis/RobustSpread.h"

namespace tessarin::analysis {

namespace {

// The median of a chi-squared variable of one degree of freedom, over its mean.
constexpr double kChiSquaredOneMedian = 0.4549;

// How much more the mean frequency over a window of n samples wanders than white frequency noise
// lets it: R(n) = n sigma_y^2(n) / sigma_y^2(1), 1 for white frequency noise, n for flicker, n^2
// for random walk. Without it the two-sample test takes the slow wander of flicker or random-walk
// frequency noise, the usual noise of an oscillator at long tau, for steps: dozens in every
// stationary series. sigma_y^2(m) is read robustly, as the median of the squared differences of
// adjacent m-sample means over the median's share of their mean, so that the steps being sought
// (which move only the differences whose windows hold them) hardly raise it; at the octave
// factors up to a sixteenth of the series, log-log between them and on along the last octave's
// slope beyond. Never below 1: no noise is taken for quieter than white frequency noise.
class Wander {
 public:
  explicit Wander(std::span<const double> values) {
    std::vector<long double> sums(values.size() + 1);
    for (std::size_t k = 0; k < values.size(); ++k) sums[k + 1] = sums[k] + values[k];
    const auto count = std::ssize(values);
    std::vector<double> squares;
    double atOne = 0;
    for (std::int64_t m = 1; 16 * m <= count; m *= 2) {
      squares.clear();
      for (std::int64_t k = 0; k + 2 * m <= count; ++k) {
        const auto at = [&](std::int64_t i) { return sums[static_cast<std::size_t>(i)]; };
        const auto difference =
            static_cast<double>((at(k + 2 * m) - 2 * at(k + m) + at(k)) / static_cast<double>(m));
        squares.push_back(difference * difference);
      }
      const double variance = medianOf(squares) / (2 * kChiSquaredOneMedian);
      if (m == 1) atOne = variance;
      if (!(atOne > 0) || !(variance > 0)) break;
      logFactor_.push_back(std::log2(static_cast<double>(m)));
      logRatio_.push_back(std::log2(std::max(1.0, static_cast<double>(m) * variance / atOne)));
    }
    // R at every window length, looked up in the search's inner loop.
    ratio_.resize(static_cast<std::size_t>(count) + 1, 1.0);
    for (std::int64_t n = 1; n <= count; ++n) ratio_[static_cast<std::size_t>(n)] = at(n);
  }

  // The variance of the difference between the mean frequencies of two adjacent windows of a
  // and b samples, in units of sigma_y^2(1): (1/a + 1/b) R(min) as white frequency noise has it
  // when the shorter window sets the spread, and at least sigma_y^2(max), the wander over the
  // longer window, which sets it for random-walk frequency noise (one long window against a short
  // one differ as the walk over the long one).
  double ofMeans(std::int64_t a, std::int64_t b) const {
    const auto shorter = static_cast<double>(std::min(a, b));
    const auto longer = static_cast<double>(std::max(a, b));
    return std::max((1 / shorter + 1 / longer) * ratio_[static_cast<std::size_t>(std::min(a, b))],
                    ratio_[static_cast<std::size_t>(std::max(a, b))] / longer);
  }

 private:
  double at(std::int64_t samples) const {
    if (logFactor_.size() < 2) return 1;
    const double x = std::log2(static_cast<double>(samples));
    std::size_t upper = 1;
    while (upper + 1 < logFactor_.size() && logFactor_[upper] < x) ++upper;
    const double slope =
        (logRatio_[upper] - logRatio_[upper - 1]) / (logFactor_[upper] - logFactor_[upper - 1]);
    return std::max(1.0, std::exp2(logRatio_[upper] + slope * (x - logFactor_[upper])));
  }

  std::vector<double> logFactor_, logRatio_, ratio_;
};

}  // namespace

StepSearch findFrequencySteps(std::span<const double> frequency, double limit,
                              std::int64_t sampleOffset) {
  StepSearch search;
  search.limit = limit;
  std::vector<double> values;
  std::vector<std::int64_t> samples;
  for (std::size_t k = 0; k < frequency.size(); ++k)
    if (!std::isnan(frequency[k])) {
      values.push_back(frequency[k]);
      samples.push_back(static_cast<std::int64_t>(k));
    }
  const auto count = std::ssize(values);
  if (count < 2 * kLeastStepSegment) return search;
  std::vector<double> differences;
  for (std::size_t k = 1; k < values.size(); ++k)
    differences.push_back(std::abs(values[k] - values[k - 1]));
  search.noise = medianOf(differences) / (kGaussianMad * std::sqrt(2.0));
  if (!(search.noise > 0)) return search;

  std::vector<long double> sums(values.size() + 1);
  for (std::size_t k = 0; k < values.size(); ++k) sums[k + 1] = sums[k] + values[k];
  const auto mean = [&](std::int64_t from, std::int64_t to) {
    return static_cast<double>(
        (sums[static_cast<std::size_t>(to)] - sums[static_cast<std::size_t>(from)]) /
        static_cast<long double>(to - from));
  };
  const Wander wander(values);
  std::vector<std::pair<std::int64_t, double>> splits;  // at a valid value's index, and its T
  std::vector<std::pair<std::int64_t, std::int64_t>> pending{{0, count}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    double most = 0;
    std::int64_t at = -1;
    for (std::int64_t split = from + kLeastStepSegment; split <= to - kLeastStepSegment; ++split) {
      const double t = std::abs(mean(split, to) - mean(from, split)) /
                       (search.noise * std::sqrt(wander.ofMeans(split - from, to - split)));
      if (t > most) most = t, at = split;
    }
    if (at < 0 || !(most > limit)) continue;
    splits.emplace_back(at, most);
    pending.emplace_back(from, at);
    pending.emplace_back(at, to);
  }
  std::sort(splits.begin(), splits.end());
  for (std::size_t i = 0; i < splits.size(); ++i) {
    const std::int64_t from = i == 0 ? 0 : splits[i - 1].first;
    const std::int64_t to = i + 1 == splits.size() ? count : splits[i + 1].first;
    const std::int64_t at = splits[i].first;
    search.steps.push_back({samples[static_cast<std::size_t>(at)] + sampleOffset,
                            mean(at, to) - mean(from, at), splits[i].second});
  }
  return search;
}

double stepOffsetAt(const StepSearch& search, std::int64_t sample) {
  double offset = 0;
  for (const FrequencyStep& step : search.steps)
    if (step.sample <= sample) offset -= step.size;
  return offset;
}

}  // namespace tessarin::analysis
