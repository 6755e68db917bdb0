#include "run/ErrorBars.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "stability/Confidence.h"

namespace tessarin::run {

namespace {

constexpr double kOneSigma = 0.683;

}  // namespace

void NoiseTypes::keepUp(stability::Statistic statistic, std::span<const double> phase) {
  if (!running_ || statistic != statistic_) {
    running_.emplace(statistic);
    statistic_ = statistic;
  }
  running_->extend(phase);
}

std::optional<int> NoiseTypes::at(stability::Statistic statistic, std::span<const double> phase,
                                  int factor) {
  if (factor < 1 || !std::has_single_bit(static_cast<unsigned>(factor)))
    return stability::identifyNoise(statistic, phase, factor);
  keepUp(statistic, phase);
  return running_->alphaAt(factor);
}

void appendOneSigmaIntervals(stability::Statistic statistic, std::span<const double> phase,
                             std::span<const int> factors, std::span<const double> values,
                             std::vector<double>& low, std::vector<double>& high,
                             NoiseTypes* noiseTypes, std::vector<double>* alphas) {
  std::optional<int> lastAlpha;
  for (std::size_t i = 0; i < factors.size() && i < values.size(); ++i) {
    stability::ConfidenceInterval interval{std::nan(""), std::nan("")};
    if (std::isfinite(values[i])) {
      std::optional<int> alpha = noiseTypes
                                     ? noiseTypes->at(statistic, phase, factors[i])
                                     : stability::identifyNoise(statistic, phase, factors[i]);
      if (!alpha) alpha = lastAlpha;
      lastAlpha = alpha;
      if (alpha) {
        const double edf = stability::equivalentDegreesOfFreedom(
            statistic, *alpha, factors[i], static_cast<std::int64_t>(phase.size()),
            stability::EdfMethod::Reference);
        interval = stability::confidenceInterval(values[i], edf, kOneSigma);
      }
    }
    low.push_back(interval.low);
    high.push_back(interval.high);
    if (alphas)
      alphas->push_back(lastAlpha && std::isfinite(values[i]) ? *lastAlpha : std::nan(""));
  }
}

}  // namespace tessarin::run
