#pragma once

#include <cstdint>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::stability {

// The statistics written straight from their textbook definitions (NIST SP 1065), term by term in
// long double, a term with a NaN in it left out: slow, plain, and independent of the library's
// sliding sums, as a reference for it.
struct TextbookValue {
  long double value = 0;
  std::int64_t terms = 0;
};
TextbookValue textbookValue(Statistic statistic, const std::vector<double>& phase, double tau0,
                            int factor);

// Expects the library's estimate of the statistic to equal the textbook one, within `tolerance`
// relative and with the same term count, at every octave and decade factor of the series.
void expectTextbookValuesAtOctavesAndDecades(Statistic statistic, const std::vector<double>& phase,
                                             double tolerance, const char* series);

// A phase series of n points, one a second: a frequency offset, white phase noise of 1e-11 s rms
// and white frequency noise of 1e-11 (seeded), with about `gapShare` of the points NaN.
std::vector<double> noisyPhase(int n, double frequencyOffset, double gapShare, std::uint64_t seed);

}  // namespace tessarin::stability
