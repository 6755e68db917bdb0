#pragma once

#include <optional>

#include "model/PowerLawNoise.h"
#include "stability/Statistics.h"

namespace tessarin::coverage {

// The noise type as the exponent alpha of S_y(f) ~ f^alpha.
int alphaOf(sim::NoiseType noise);

// The deviation a statistic has, in expectation, at factor m for the simulator's noise of
// `level` (its Allan deviation at 1 s) sampled every second. Known exactly for the noises the
// generator makes exactly (white phase, white frequency, random-walk frequency) and the statistics
// that average squares of fixed linear combinations of the phase; nullopt for the flicker noises
// and the total deviation, whose truth has to come from the mean over many series.
std::optional<double> expectedDeviation(sim::NoiseType noise, double level,
                                        stability::Statistic statistic, int factor);

}  // namespace tessarin::coverage
