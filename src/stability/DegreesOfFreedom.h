#pragma once

#include <cstdint>

#include "stability/Confidence.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

// The parts of equivalentDegreesOfFreedom() (Confidence.h).

// Greenhall and Riley's EDF of a variance built on d-th differences (d = 2 Allan, 3 Hadamard) at
// factor m over N phase points: `modified` averages the phase over m first, `overlapping` takes a
// term at every sample instead of every m-th. NaN where the method does not apply.
double greenhallRileyEdf(int alpha, int d, int factor, std::int64_t sampleCount, bool modified,
                         bool overlapping, EdfMethod method);

// The ratio of the modified to the overlapping Allan variance that power-law noise alpha gives at
// factor m, in expectation, with the phase averaged over tau0 for the unmodified one: 1 / m for
// white phase noise, about 3.37 / (1.04 + 3 ln(pi m)) for flicker phase.
double modifiedToAllanRatio(int alpha, int factor);

// The terms a statistic has at factor m over N phase points when no gap leaves any out.
double gapFreeTerms(Statistic statistic, int factor, std::int64_t sampleCount);

}  // namespace tessarin::stability
