#pragma once

#include <optional>
#include <vector>

#include "stability/Confidence.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {

// Which averaging factors each statistic is evaluated at.
enum class FactorSet { Octave, Decade, Every, Listed };

// The curve fitted to a run and taken out as its drift.
enum class DriftModel {
  None,
  // x = a + b t + c t^2 fitted to the phase: the linear frequency drift as it has always been
  // removed, whatever the data type.
  PhaseQuadratic,
  // By the data type: the phase quadratic above for phase data, y = a + b t + c t^2 fitted to the
  // fractional frequency for frequency data.
  Quadratic,
  Average,    // phase data: the mean frequency from the end points
  Linear,     // frequency data: y = a + b t
  Log,        // frequency data: y = a ln(b t + 1) + c, the ageing of a fresh crystal
  Diffusion,  // frequency data: y = a + b (t + c)^1/2
};

// What is done to the data before the statistics see it, always in this order: outliers taken out
// as gaps, frequency steps removed, the drift, then the mean frequency.
struct Preprocessing {
  // Fractional frequencies farther than this many normalised median absolute deviations
  // (MAD / 0.6745) from the median are outliers: taken as gaps, or only listed with keepOutliers.
  std::optional<double> outlierLimit;
  bool keepOutliers = false;
  // Steps of the mean frequency beyond this many standard deviations are found; removeSteps
  // aligns each segment's mean frequency to the first's.
  std::optional<double> stepLimit;
  bool removeSteps = false;
  DriftModel drift = DriftModel::None;
  bool removeOffset = false;  // the mean frequency

  // Whether anything at all is done.
  bool any() const {
    return outlierLimit || stepLimit || drift != DriftModel::None || removeOffset;
  }
  // Whether a step works on the fractional frequency, before the phase is made of it.
  bool onFrequency() const {
    return outlierLimit || stepLimit || drift == DriftModel::Quadratic ||
           drift == DriftModel::Linear || drift == DriftModel::Log ||
           drift == DriftModel::Diffusion;
  }
};

// What an analysis of one phase series is asked to give.
struct AnalysisRequest {
  std::vector<stability::Statistic> statistics{stability::Statistic::Oadev};
  FactorSet factorSet = FactorSet::Octave;
  std::vector<int> factors;  // for FactorSet::Listed, rising
  double confidence = 0.683;
  // The values alone, without the intervals and the noise identification they rest on.
  bool valuesOnly = false;
  // How the intervals are made: by default the noise type is one per tau for every statistic and
  // the degrees of freedom those of measured coverage.
  stability::AnalysisMethod intervals;
  // The noise-type bias corrections of mtotdev, ttotdev and htotdev left out.
  bool noBiasCorrection = false;
  Preprocessing preprocessing;
};

}  // namespace tessarin::analysis
