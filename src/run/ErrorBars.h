#pragma once

#include <optional>
#include <span>
#include <vector>

#include "stability/RunningNoiseIdentification.h"
#include "stability/Statistics.h"

namespace tessarin::run {

// The noise types at the factors of a growing series, kept up to date from the new samples alone:
// telling them afresh reads the whole series at each factor, far too slow for an analysis every
// 10 samples late in a long run. Octave factors are kept running; any other factor is told afresh.
class NoiseTypes {
 public:
  void clear() { running_.reset(); }
  // Takes the new samples of the series without telling any type, so that showing the error bars
  // late in a long run finds the types ready instead of reading the whole run at once.
  void keepUp(stability::Statistic statistic, std::span<const double> phase);
  std::optional<int> at(stability::Statistic statistic, std::span<const double> phase, int factor);

 private:
  stability::Statistic statistic_ = stability::Statistic::Adev;
  std::optional<stability::RunningNoiseIdentification> running_;
};

// The 68 % confidence intervals of a stability curve whose values are already known, worked out
// as the offline analysis does (stability::analyse): the noise type at each factor, carried over
// from the nearest smaller factor where too few points remain to tell it, the equivalent degrees
// of freedom over the whole series, and the chi-squared bounds. `factors` rise. Appends one
// bound pair per value to `low` and `high`, NaN where no interval can be given. `noiseTypes`, when
// given, keeps the noise types of this series from one call to the next; `alphas`, when given,
// gets the power-law exponent each interval was worked out for (NaN where none).
void appendOneSigmaIntervals(stability::Statistic statistic, std::span<const double> phase,
                             std::span<const int> factors, std::span<const double> values,
                             std::vector<double>& low, std::vector<double>& high,
                             NoiseTypes* noiseTypes = nullptr,
                             std::vector<double>* alphas = nullptr);

}  // namespace tessarin::run
