#include "stability/RunningStatistic.h"

#include <algorithm>
#include <cstdint>

namespace tessarin::stability {

RunningStatistic::RunningStatistic(Statistic statistic, double tau0)
    : statistic_(statistic), tau0_(tau0) {}

void RunningStatistic::extend(std::span<const double> phase) {
  if (phase.size() < series_.size()) {
    series_.clear();
    octaves_.clear();
  }
  const std::size_t added = phase.size() - series_.size();
  series_.insert(series_.end(), phase.begin() + std::ssize(series_), phase.end());
  const auto n = std::ssize(series_);
  for (auto k = std::ssize(octaves_); (std::int64_t{1} << k) <= 2 * n; ++k)
    octaves_.push_back({accumulatorFor(statistic_, static_cast<int>(std::int64_t{1} << k)), 0});
  const std::size_t needed = octaveFactors(statistic_, n).size();
  for (std::size_t k = 0; k < octaves_.size(); ++k) {
    Octave& octave = octaves_[k];
    octave.taken = k < needed ? series_.size() : std::min(series_.size(), octave.taken + 2 * added);
    stability::extend(octave.accumulator, std::span(series_).first(octave.taken));
  }
}

std::vector<Estimate> RunningStatistic::octaveCurve() const {
  const std::size_t count = octaveFactors(statistic_, std::ssize(series_)).size();
  std::vector<Estimate> curve;
  curve.reserve(count);
  for (std::size_t k = 0; k < count; ++k)
    curve.push_back(estimate(octaves_[k].accumulator, series_, tau0_));
  return curve;
}

}  // namespace tessarin::stability
