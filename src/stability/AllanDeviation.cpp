#include "stability/AllanDeviation.h"

#include <cmath>
#include <cstddef>

#include "stability/Statistics.h"

namespace tessarin::stability {

namespace {

// Octave levels need at least this many decimated points.
constexpr std::size_t kLeastPointsPerLevel = 5;

}  // namespace

double allanDeviation(std::span<const double> phase, int factor, double tau0) {
  return estimate(Statistic::Adev, phase, tau0, factor).value;
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
