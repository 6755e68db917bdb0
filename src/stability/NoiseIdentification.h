#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "stability/Statistics.h"
#include "stability/StridedSeries.h"

namespace tessarin::stability {

// The steps of identifyNoise() (Confidence.h), apart so that a curve over many factors can reuse
// the coarser series it already made.

// Riley and Greenhall find the lag-1 autocorrelation dependable from about 30 points on; below
// that the noise is told by the B1 ratio.
inline constexpr std::size_t kLeastPointsForAutocorrelation = 30;

// How many times the series may be differenced before the method stops: the Allan family sees
// noises down to random-walk frequency, the Hadamard family two more.
int mostDifferences(Statistic statistic);

// Difference the series until its lag-1 autocorrelation says it is stationary (delta < 1/4), then
// alpha = 2 - 2 d - round(2 delta), with delta = r1 / (1 + r1) and d the differences taken.
// `lag1AfterDifferences(d)` gives r1 of the series differenced d times (asked for d = 0, 1, ... in
// turn), nullopt where it has too few points or no spread.
std::optional<int> alphaByLag1Autocorrelation(
    const std::function<std::optional<double>(int)>& lag1AfterDifferences, int differenceLimit);

// The noise type by Barnes' B1 ratio of every m-th phase point, for fewer than
// kLeastPointsForAutocorrelation of them.
std::optional<int> byB1Ratio(std::span<const double> points);

// "white PM" for alpha 2 down to "random-walk FM" for -2, "flicker-walk FM" and "random-run FM"
// for -3 and -4 of the Hadamard family; "?" for any other.
const char* noiseName(int alpha);

// Whether the statistic's noise is read from block means of the phase (the modified and time
// deviations) rather than from every m-th point.
bool identifiesOnBlockMeans(Statistic statistic);

// The means of successive whole blocks of `blockLength` points; a block with a gap is a gap.
std::vector<double> blockMeans(std::span<const double> series, int blockLength);

// The same in place: the series becomes its block means, the same values to the last bit. Means
// of means at successive factors so hold no second series beside the first.
void toBlockMeans(std::vector<double>& series, int blockLength);

// The noise type at the factor from `atFactor`, the series there (every m-th phase point, or the
// block means where identifiesOnBlockMeans() says so), and `phase` itself.
std::optional<int> identifyNoiseAt(Statistic statistic, std::span<const double> phase, int factor,
                                   StridedSeries atFactor);

}  // namespace tessarin::stability
