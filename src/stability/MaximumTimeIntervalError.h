#pragma once

#include <cstdint>
#include <span>

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

}  // namespace tessarin::stability
