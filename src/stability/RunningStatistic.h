#pragma once

#include <span>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::stability {

// A statistic kept up to date while a run's phase series grows: each extend() takes only the
// samples beyond those already taken, so an analysis late in a long run costs little. Its curve
// equals estimate() at the octave factors of the series so far.
class RunningStatistic {
 public:
  RunningStatistic(Statistic statistic, double tau0);

  // `phase` is the same series each time, grown at its end since the last call.
  void extend(std::span<const double> phase);

  // The estimates at octaveFactors() of the series taken so far.
  std::vector<Estimate> octaveCurve() const;
};

}  // namespace tessarin::stability
