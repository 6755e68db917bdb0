#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/AnalysisProgress.h"
#include "analysis/AnalysisRequest.h"
#include "analysis/ConditioningRecord.h"
#include "platform/Result.h"
#include "records/RecordedRun.h"
#include "stability/Confidence.h"

namespace tessarin::analysis {

// The rows of one statistic over one series.
struct StatisticRows {
  stability::Statistic statistic{};
  std::vector<stability::AnalysisRow> rows;
};

// What the analysis of one phase series found.
struct SeriesAnalysis {
  double tau0 = 0;
  std::optional<double> driftPerDay;    // the linear frequency drift removed, per day
  std::optional<double> meanFrequency;  // the mean fractional frequency removed
  std::vector<StatisticRows> statistics;
  std::vector<std::string> warnings;  // factors left out, for the operator
  ConditioningRecord conditioning;    // what each step of the preprocessing did
};

// Evaluates each statistic of `request` at its averaging factors over the phase series in
// seconds, sampled every tau0 seconds, NaN for a gap, preprocessed as the request asks. Fails
// when the series is too short for every statistic. `progress`, where given, counts the steps
// as they are taken. A series left as it is is analysed where it lies, without a copy.
platform::Result<SeriesAnalysis> analyseSeries(std::span<const double> phase, double tau0,
                                               const AnalysisRequest& request,
                                               AnalysisProgress* progress = nullptr);

// The same over a series the analysis may change in place: the preprocessing needs no copy. The
// series is conditioned as the phase series of phase data (conditionPhase()).
platform::Result<SeriesAnalysis> analysePhase(std::vector<double> phase, double tau0,
                                              const AnalysisRequest& request,
                                              AnalysisProgress* progress = nullptr);

// The same over the samples of a run that stores `quantity`, its phase series made as
// phaseSeries() makes it (x_0 kept when `keepFirstPoint`) and conditioned as conditionSamples()
// does: frequencies are screened, stepped and fitted before they are integrated. Fails also when
// the conditioning does.
platform::Result<SeriesAnalysis> analyseSamples(std::span<const double> samples,
                                                run::Quantity quantity, double tau0,
                                                bool keepFirstPoint, const AnalysisRequest& request,
                                                AnalysisProgress* progress = nullptr);

// The same over a recorded run (phaseSeries()): fails when its header lacks tau or data type.
platform::Result<SeriesAnalysis> analyseRun(const records::RecordedRun& run, bool fromColumnFile,
                                            const AnalysisRequest& request,
                                            AnalysisProgress* progress = nullptr);

}  // namespace tessarin::analysis
