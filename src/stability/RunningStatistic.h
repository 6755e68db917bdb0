#pragma once

#include <span>
#include <vector>

#include "stability/Accumulators.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

// A statistic kept up to date while a run's phase series grows: each extend() takes only the
// samples beyond those already taken, so an analysis late in a long run costs little. Its curve
// equals estimate() at the octave factors of the series so far.
//
// It keeps its own copy of the series (memory linear in the samples) and one accumulator per
// octave factor; an extend by k samples costs about k operations per octave, a curve one per octave
// (the total deviation m - 1 more per octave, for its reflected end). The accumulator of factor m
// starts once the series has m / 2 samples and takes the samples before it two for every new one,
// so it has caught up by the time its first term can be formed, and no single analysis has to take
// the whole series at once.
class RunningStatistic {
 public:
  RunningStatistic(Statistic statistic, double tau0);

  // `phase` is the same series each time, grown at its end since the last call. A shorter series
  // than the one taken so far is a new series: everything is taken afresh.
  void extend(std::span<const double> phase);

  // The estimates at octaveFactors() of the series taken so far.
  std::vector<Estimate> octaveCurve() const;

 private:
  Statistic statistic_;
  double tau0_;
  std::vector<double> series_;
  struct Octave {
    Accumulator accumulator;  // at factor 2^k for octaves_[k]
    std::size_t taken;        // samples of the series it has taken
  };
  std::vector<Octave> octaves_;
};

}  // namespace tessarin::stability
