#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::stability {

// The longest block maximumTimeIntervalError() keeps the extremes of: 2 x 512 KiB. At factors near
// the length of a long series a block as long as the window would cost twice the series.
inline constexpr std::int64_t kLongestMtieBlock = std::int64_t{1} << 16;

// MTIE of a whole series at factor m, the offline way: the windows of w = m + 1 samples are taken
// block by block (van Herk, Gil and Werman): the extremes of a window are those of the suffix of
// one block of w samples and of the prefix of the next, both found by straight scans without a
// branch on the data. A window longer than `longestBlock` is cut at the blocks of that length it
// spans instead: the suffix of its first block, the whole blocks between, whose extremes are
// taken once, and the prefix of its last. The same windows and the same value as MtieAccumulator,
// several times faster over a whole series.
Estimate maximumTimeIntervalError(std::span<const double> phase, double tau0, int factor,
                                  std::int64_t longestBlock = kLongestMtieBlock);

// The longest factor maximumTimeIntervalErrors() makes from the extremes of a factor half as long.
inline constexpr int kLongestDoubledFactor = 1 << 12;

// Whether maximumTimeIntervalErrors() takes the factor with the others that double, where the
// series has no gap: a power of two.
bool isDoubledFactor(int factor);

// MTIE at several factors of a whole series, each as maximumTimeIntervalError() gives it. Over a
// series without a gap the factors that double are taken together, rising: up to
// kLongestDoubledFactor the extremes of a window of 2^k + 1 samples are those of the two of
// 2^(k-1) + 1 that share its middle sample, so each factor costs one pass over the extremes of the
// one before, a stretch of windows at a time in the cache; beyond, the windows are cut at blocks of
// kLongestDoubledFactor samples, and those starting in a block are passed over where the blocks
// they reach span no more than the worst window of the factor before, which lies within one of
// them. The other factors, and every factor of a series with gaps, one by one.
std::vector<Estimate> maximumTimeIntervalErrors(std::span<const double> phase, double tau0,
                                                std::span<const int> factors);

}  // namespace tessarin::stability
