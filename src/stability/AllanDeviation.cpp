#include "stability/AllanDeviation.h"

#include <cmath>
#include <cstddef>

namespace tessarin::stability {

namespace {

// Octave levels need at least this many decimated points.
constexpr std::size_t kLeastPointsPerLevel = 5;

}  // namespace

double allanDeviation(std::span<const double> phase, int factor, double tau0) {
  const auto m = static_cast<std::size_t>(factor);
  const std::size_t n = phase.size() / m;
  const double tau = tau0 * factor;
  double sum = 0;
  for (std::size_t j = 0; j + 2 < n; ++j) {
    const double secondDifference = phase[(j + 2) * m] - 2 * phase[(j + 1) * m] + phase[j * m];
    sum += secondDifference * secondDifference;
  }
  return std::sqrt(sum / (2.0 * static_cast<double>(n - 2) * tau * tau));
}

void allanDeviationByOctaves(std::span<const double> phase, int firstFactor, double tau0,
                             std::vector<StabilityPoint>& points) {
  double tau = tau0 * firstFactor;
  for (std::size_t m = static_cast<std::size_t>(firstFactor);
       m > 0 && phase.size() / m >= kLeastPointsPerLevel; m *= 2) {
    points.push_back({tau, allanDeviation(phase, static_cast<int>(m), tau0)});
    tau *= 2;
  }
}

}  // namespace tessarin::stability
