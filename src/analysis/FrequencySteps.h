#pragma once

#include <span>

#include "analysis/ConditioningRecord.h"

namespace tessarin::analysis {

// The fewest valid frequencies on either side of a step.
constexpr std::int64_t kLeastStepSegment = 8;

// The steps of the mean frequency, by binary segmentation: in a segment of the valid fractional
// frequencies (NaN gaps left out) the split that maximises the two-sample statistic
// T = |mean after - mean before| / s(n_before, n_after) is a step when T exceeds `limit`, and both
// sides are searched again, each side at least kLeastStepSegment long. s is the spread of that
// difference as the series' own noise gives it: sigma sqrt(1/n_before + 1/n_after) for white
// frequency noise, sigma the noise of one sample from the median absolute first difference,
// MAD / (0.6745 sqrt 2), which a few steps hardly move; more, as the series' robust Allan
// variance says, where flicker or random-walk frequency noise wanders. The steps are listed in
// order with the size between the final segments' means; their samples are counted from 0 plus
// `sampleOffset` (1 for the first differences of a phase series, named by their later sample).
StepSearch findFrequencySteps(std::span<const double> frequency, double limit,
                              std::int64_t sampleOffset = 0);

// The offset each frequency sample gets from removing `search`'s steps: each segment's mean
// aligned to the first's, so minus the sum of the steps before it.
double stepOffsetAt(const StepSearch& search, std::int64_t sample);

}  // namespace tessarin::analysis
