#pragma once

#include <QString>
#include <vector>

#include "platform/Result.h"
#include "records/RecordedRun.h"

namespace tessarin::analysis {

// The run's phase series in seconds, as the console keeps it: a phase run as written; a frequency
// run integrated, x_k = x_{k-1} + y_k tau0 from the run's priming point x_0 = 0, which the
// console's own series starts after. A plain column file of frequencies keeps x_0, as other
// analysis programs do, so that no frequency sample is lost. Fails when the header lacks tau or
// the data type.
platform::Result<std::vector<double>> phaseSeries(const records::RecordedRun& run,
                                                  bool fromColumnFile);

// Why the run has no phase series: its header lacks tau or the data type. Empty when it has one.
QString whyNoPhase(const records::RecordedRun& run);

}  // namespace tessarin::analysis
