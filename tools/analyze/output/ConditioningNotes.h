#pragma once

#include <string>
#include <vector>

#include "analysis/ConditioningRecord.h"

namespace tessarin::analyze::output {

// The lines that tell what the conditioning of one series did, without a leading "# ": the
// outliers (the first few samples named), the steps, and a drift model's coefficients with their
// standard uncertainties and the residual. The drift of --remove-drift alone (PhaseQuadratic) and
// the mean frequency removed keep their own lines.
std::vector<std::string> conditioningNotes(const analysis::ConditioningRecord& record);

// "a = 1.234567e-09 +- 2.3e-12" for each coefficient, with its unit, joined by ", ".
std::string coefficientsText(const analysis::DriftFit& fit);

}  // namespace tessarin::analyze::output
