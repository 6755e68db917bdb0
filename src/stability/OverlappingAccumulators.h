#pragma once

#include <span>

#include "stability/Accumulators.h"

namespace tessarin::stability {

// The accumulators at factor m, over a whole series, of the statistics whose terms start at every
// sample and are made of the differences x[b + m] - x[b]: TIE rms (one of them), the overlapping
// Allan and the total deviation (the difference of two, the same second difference), the
// overlapping Hadamard deviation (the difference of two of those) and the modified Allan and time
// deviation (the second differences summed over a window of m starts, which moves by that same
// difference of two). One pass over the series forms each difference once for them all, where an
// accumulator each would read and subtract the samples over again. Each has the terms it would
// have alone, summed in the same order: the estimates are the same to the last bit.
struct OverlappingAccumulators {
  DifferenceAccumulator tieRms;
  DifferenceAccumulator oadev;
  DifferenceAccumulator ohdev;
  ModifiedAccumulator modified;  // read as Mdev
  TotalAccumulator totdev;
};

OverlappingAccumulators overlappingAccumulators(std::span<const double> phase, int factor);

}  // namespace tessarin::stability
