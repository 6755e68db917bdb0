#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::stability {

// The power-law noise type at an averaging factor, as the exponent alpha of the fractional
// frequency spectrum S_y(f) ~ f^alpha: 2 white phase, 1 flicker phase, 0 white frequency,
// -1 flicker frequency, -2 random-walk frequency. Identified by the lag-1 autocorrelation of the
// series at that factor, or by the B1 ratio where too few points remain for it; nullopt where
// neither can tell.
std::optional<int> identifyNoise(Statistic statistic, std::span<const double> phase, int factor);

// Equivalent degrees of freedom of a deviation at factor m over `sampleCount` phase points for
// noise type alpha: Greenhall and Riley's method for the Allan and Hadamard families, the total
// deviation's own formula for Totdev.
double equivalentDegreesOfFreedom(Statistic statistic, int alpha, int factor,
                                  std::int64_t sampleCount);

// The chi-squared interval around a deviation for `confidence` (0.683 for 1 sigma).
struct ConfidenceInterval {
  double low = 0;
  double high = 0;
};
ConfidenceInterval confidenceInterval(double deviation, double edf, double confidence);

// One row of an analysis: the estimate, and for the deviations the noise type, the EDF and the
// interval (NaN bounds, nullopt alpha where none applies or none could be found).
struct AnalysisRow {
  Estimate estimate;
  std::optional<int> alpha;
  double edf = 0;
  ConfidenceInterval interval;
};

std::vector<AnalysisRow> analyse(Statistic statistic, std::span<const double> phase, double tau0,
                                 std::span<const int> factors, double confidence);

}  // namespace tessarin::stability
