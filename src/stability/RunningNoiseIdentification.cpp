#include "stability/RunningNoiseIdentification.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "stability/Confidence.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::stability {

RunningNoiseIdentification::Octave::Octave(int differenceLimit)
    : points(differenceLimit), means(differenceLimit) {
  firstPoints.reserve(kLeastPointsForAutocorrelation);
}

RunningNoiseIdentification::RunningNoiseIdentification(Statistic statistic)
    : statistic_(statistic),
      differenceLimit_(mostDifferences(statistic)),
      onBlockMeans_(identifiesOnBlockMeans(statistic)) {}

// Sample i is a point of every octave whose factor divides i, and ends the block of every octave
// whose factor divides i + 1. Octave k starts when the series reaches 2^k samples: its first point
// is the first sample, its first block the whole series so far.
void RunningNoiseIdentification::extend(std::span<const double> phase) {
  if (phase.size() < taken_) {
    taken_ = 0;
    octaves_.clear();
    blockSums_.clear();
  }
  for (std::size_t i = taken_; i < phase.size(); ++i) {
    const double value = phase[i];
    if (i > 0) {
      const std::size_t pointsEnd =
          std::min(octaves_.size(), static_cast<std::size_t>(std::countr_zero(i)) + 1);
      for (std::size_t k = 0; k < pointsEnd; ++k) {
        Octave& octave = octaves_[k];
        octave.points.append(value);
        if (octave.firstPoints.size() < kLeastPointsForAutocorrelation)
          octave.firstPoints.push_back(value);
      }
      if (onBlockMeans_) {
        for (double& sum : blockSums_) sum += value;
        const std::size_t blocksEnd =
            std::min(octaves_.size(), static_cast<std::size_t>(std::countr_zero(i + 1)) + 1);
        // At factor 1 the block means are the points themselves.
        for (std::size_t k = 1; k < blocksEnd; ++k) {
          octaves_[k].means.append(blockSums_[k] / static_cast<double>(std::size_t{1} << k));
          blockSums_[k] = 0;
        }
      }
    }
    if (i + 1 == std::size_t{1} << octaves_.size()) addOctave(phase.first(i + 1));
  }
  taken_ = phase.size();
}

void RunningNoiseIdentification::addOctave(std::span<const double> phase) {
  double sum = 0;
  if (onBlockMeans_) {
    // Summed in the order blockMeans() sums, so the block means are the same to the last bit.
    for (const double value : phase) sum += value;
  }
  Octave& octave = octaves_.emplace_back(differenceLimit_);
  blockSums_.push_back(0);
  octave.points.append(phase.front());
  octave.firstPoints.push_back(phase.front());
  if (onBlockMeans_ && octaves_.size() > 1)
    octave.means.append(sum / static_cast<double>(phase.size()));
}

std::optional<int> RunningNoiseIdentification::byLag1(const RunningAutocorrelation& series) const {
  return alphaByLag1Autocorrelation([&series](int d) { return series.afterDifferences(d); },
                                    differenceLimit_);
}

std::optional<int> RunningNoiseIdentification::alphaAt(int factor) const {
  if (factor < 1 || !std::has_single_bit(static_cast<unsigned>(factor)) ||
      !hasConfidenceInterval(statistic_))
    return std::nullopt;
  const auto k = static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(factor)));
  // A factor beyond the series has a single point, too few for either method.
  if (k >= octaves_.size()) return std::nullopt;
  const Octave& octave = octaves_[k];
  if (octave.points.size() < static_cast<std::int64_t>(kLeastPointsForAutocorrelation))
    return byB1Ratio(octave.firstPoints);
  const std::optional<int> alpha = byLag1(octave.points);
  // As identifyNoise(): where the points say a phase noise, the block means tell which.
  const RunningAutocorrelation& means = k == 0 ? octave.points : octave.means;
  if (onBlockMeans_ && alpha && *alpha >= 1 &&
      means.size() >= static_cast<std::int64_t>(kLeastPointsForAutocorrelation))
    return byLag1(means);
  return alpha;
}

}  // namespace tessarin::stability
