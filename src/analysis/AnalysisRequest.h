#pragma once

#include <vector>

#include "stability/Confidence.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {

// Which averaging factors each statistic is evaluated at.
enum class FactorSet { Octave, Decade, Every, Listed };

// What is done to the phase series before the statistics see it, in this order.
struct Preprocessing {
  bool removeDrift = false;   // the linear frequency drift, by least squares on the phase
  bool removeOffset = false;  // the mean frequency
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
