#pragma once

#include <optional>
#include <span>
#include <vector>

#include "stability/RunningAutocorrelation.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

// The noise type at the octave factors of a growing phase series, as identifyNoise() (Confidence.h)
// tells it, kept up to date while the series grows, so that error bars cost little even late in a
// long run. identifyNoise() reads the whole series at each factor; this keeps, per octave factor m,
// the running sums of the lag-1 autocorrelation of every m-th point and (for the modified and time
// deviations) of the block means, each with its differences, and a type costs O(1). The first
// points at each factor are kept for the B1 ratio, which is used only while there are few.
//
// An extend by k samples costs about k operations per octave (the block sums) and a few per sample
// for the rest; the state is a few hundred bytes per octave. It agrees with identifyNoise() except
// where r1 lies within rounding of a decision boundary: the sums are formed in another order.
class RunningNoiseIdentification {
 public:
  explicit RunningNoiseIdentification(Statistic statistic);

  // `phase` is the same series each time, grown at its end since the last call. A shorter series
  // than the one taken so far is a new series: everything is taken afresh.
  void extend(std::span<const double> phase);

  // The noise type at `factor`, a power of two, of the series taken so far; nullopt where
  // identifyNoise() gives none, and for any other factor.
  std::optional<int> alphaAt(int factor) const;

 private:
  struct Octave {
    explicit Octave(int differenceLimit);
    RunningAutocorrelation points;  // every m-th point
    std::vector<double> firstPoints;
    RunningAutocorrelation means;  // block means, where the statistic reads them (from m = 2)
  };

  void addOctave(std::span<const double> phase);
  std::optional<int> byLag1(const RunningAutocorrelation& series) const;

  Statistic statistic_;
  int differenceLimit_;
  bool onBlockMeans_;
  std::size_t taken_ = 0;
  std::vector<Octave> octaves_;    // at factor 2^k for octaves_[k]
  std::vector<double> blockSums_;  // of each octave's block not yet complete
};

}  // namespace tessarin::stability
