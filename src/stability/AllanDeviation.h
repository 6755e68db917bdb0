#pragma once

#include <span>
#include <vector>

namespace tessarin::stability {

// Non-overlapping Allan deviation of a phase (time-error) series x, in seconds, sampled every
// tau0 seconds, at averaging factor m: the series is decimated to x[0], x[m], x[2m], ... (n points,
// n = floor(N / m)) and
//   sigma(m tau0) = sqrt( sum_{j} (x[j+2m] - 2 x[j+m] + x[j])^2 / (2 (n - 2) (m tau0)^2) ).
// Needs n >= 3.
double allanDeviation(std::span<const double> phase, int factor, double tau0);

// One point of a stability curve: the averaging time and the deviation there.
struct StabilityPoint {
  double tau = 0;
  double deviation = 0;
};

// The Allan deviation at the octave averaging factors first, 2 first, 4 first, ... while at
// least five decimated points remain, appended to `points`.
void allanDeviationByOctaves(std::span<const double> phase, int firstFactor, double tau0,
                             std::vector<StabilityPoint>& points);

}  // namespace tessarin::stability
