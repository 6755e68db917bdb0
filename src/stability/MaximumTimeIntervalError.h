#pragma once

#include <span>

#include "stability/Statistics.h"

namespace tessarin::stability {

// MTIE of a whole series at factor m, the offline way: the windows of w = m + 1 samples are taken
// block by block (van Herk, Gil and Werman): the extremes of a window are those of the suffix of
// one block of w samples and of the prefix of the next, both found by straight scans without a
// branch on the data. The same windows and the same value as MtieAccumulator, several times faster
// over a whole series.
Estimate maximumTimeIntervalError(std::span<const double> phase, double tau0, int factor);

}  // namespace tessarin::stability
