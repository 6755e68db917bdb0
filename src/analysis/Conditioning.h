#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "analysis/ConditioningRecord.h"
#include "platform/Result.h"
#include "run/Measurement.h"

namespace tessarin::analysis {

// A phase series conditioned, and what each step did to it.
struct ConditionedSeries {
  std::vector<double> phase;
  ConditioningRecord record;
};

// Conditions the samples of a run that stores `quantity` (phase in s or fractional frequency),
// taken every tau0 seconds, NaN for a gap, in the one order outliers, steps, drift, offset, and
// makes its phase series as phaseSeries() does (x_0 kept when `keepFirstPoint`). Frequency data
// are screened, stepped and fitted as frequencies and integrated after; phase data through their
// first differences, the phase itself changed: an outlying difference, or a run of them, makes
// the phase samples inside it gaps (a lone one its later sample), and a step's offset is taken out
// of the phase from there on. Fails, with one line for the operator, when the drift model is not
// for the data type, or when outliers are to be taken out and more than kMostOutlierShare of the
// frequencies are.
platform::Result<ConditionedSeries> conditionSamples(std::span<const double> samples,
                                                     run::Quantity quantity, double tau0,
                                                     bool keepFirstPoint,
                                                     const Preprocessing& preprocessing);

// The same over the phase series of phase data, in place.
platform::Result<ConditioningRecord> conditionPhase(std::vector<double>& phase, double tau0,
                                                    const Preprocessing& preprocessing);

// Why `model` cannot be fitted to data of `quantity`: empty when it can.
std::string whyNotFor(DriftModel model, run::Quantity quantity);

}  // namespace tessarin::analysis
