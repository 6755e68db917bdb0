#pragma once

#include <cstdint>
#include <span>

namespace tessarin::stability {

// The sums behind longTauEstimate() (LongTau.h).

// A variance in units of the series squared (tau0 = 1) and the terms it was made of; NaN with no
// term.
struct VarianceTerms {
  double variance = 0;
  std::int64_t terms = 0;
};

// The mean over the subsequences of 3m points without a gap of the mean square of the 6m modified
// second differences of their reflected extension: MTOTVAR 2 tau^2 on phase, HTOTVAR 6 on
// frequency. The terms are the subsequences used.
VarianceTerms reflectedModifiedMeanSquare(std::span<const double> series, std::int64_t factor);

// Theo1 at even factor m, with tau0 = 1 (divide by tau0^2); the terms are the (start, offset)
// pairs used.
VarianceTerms theo1Variance(std::span<const double> phase, std::int64_t factor);

// The TheoBR bias ratio of the series, NaN where it has too few points for one ratio.
double theoBiasRatio(std::span<const double> phase);

}  // namespace tessarin::stability
