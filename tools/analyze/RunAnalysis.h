#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "Options.h"
#include "RecordedRun.h"
#include "platform/Result.h"
#include "stability/Confidence.h"

namespace tessarin::analyze {

// The rows of one statistic over one run.
struct StatisticRows {
  stability::Statistic statistic{};
  std::vector<stability::AnalysisRow> rows;
};

// What the analysis of one run found.
struct RunAnalysis {
  double tau0 = 0;
  std::optional<double> driftPerDay;    // the linear frequency drift removed, per day
  std::optional<double> meanFrequency;  // the mean fractional frequency removed
  std::vector<StatisticRows> statistics;
  std::vector<std::string> warnings;  // for standard error: factors left out, costly requests
};

// The run's phase series in seconds, as the console keeps it: a phase run as written; a frequency
// run integrated, x_k = x_{k-1} + y_k tau0 from the run's priming point x_0 = 0, which the
// console's own series starts after. A plain column file of frequencies keeps x_0, as other
// analysis programs do, so that no frequency sample is lost. Fails when the header lacks tau or
// the data type.
platform::Result<std::vector<double>> phaseSeries(const RecordedRun& run, bool fromColumnFile);

// Why the run has no phase series: its header lacks tau or the data type. Empty when it has one.
QString whyNoPhase(const RecordedRun& run);

// Preprocesses the run's phase series as `options` ask and evaluates each statistic asked for at
// the averaging factors asked for. Fails when the run is too short for every statistic. A phase
// run left as recorded is analysed where it lies, without a copy.
platform::Result<RunAnalysis> analyseRun(const RecordedRun& run, bool fromColumnFile,
                                         const Options& options);

// The same over a phase series in seconds, sampled every tau0 seconds, NaN for a gap: the series
// of runs joined on one time line.
platform::Result<RunAnalysis> analysePhase(std::vector<double> phase, double tau0,
                                           const Options& options);

}  // namespace tessarin::analyze
