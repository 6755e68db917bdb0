#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <variant>

#include "stability/Statistics.h"
#include "stability/TermSum.h"

namespace tessarin::stability {

// The terms of one statistic at one averaging factor m, gathered while a phase series grows. Each
// extend() is handed the whole series, grown at its end since the last call, and forms only the
// terms the new samples complete; estimate() gives the statistic of the series taken so far. A
// one-off estimate is the same accumulator extended once, so the running and the offline results
// are the same sums in the same order.
//
// Differences are formed as differences of differences, (x2 - x1) - (x1 - x0): over a long run the
// phase may drift to microseconds or more while the noise stays at picoseconds, and nearby samples
// subtract exactly, where x2 - 2 x1 + x0 would round at the size of the phase itself.

// The console's own non-overlapping Allan deviation (AllanDeviation.h), with its point count and
// its arithmetic kept bit for bit: the decimated points x[0], x[m], ... are those whose whole
// block of m samples has arrived, and the squared second differences are summed one after another.
class AllanAccumulator {
 public:
  explicit AllanAccumulator(int factor) : m_(factor) {}
  // One whose terms were summed elsewhere (accumulatorHolding()).
  AllanAccumulator(int factor, const TermSum<1>& terms) : m_(factor), sum_(terms) {}
  void extend(std::span<const double> phase);
  Estimate estimate(std::span<const double> phase, double tau0) const;

 private:
  std::int64_t m_;
  TermSum<1> sum_;
};

// The mean squares of finite differences at spacing m: the standard and the overlapping Allan
// deviations (second differences, every m-th sample a start or every sample), the Hadamard
// deviation (third differences, every m-th sample a start) and the overlapping one (every
// sample), and TIE rms (first differences).
class DifferenceAccumulator {
 public:
  DifferenceAccumulator(Statistic statistic, int factor) : statistic_(statistic), m_(factor) {}
  // One whose terms over a whole series were summed elsewhere (overlappingAccumulators()).
  DifferenceAccumulator(Statistic statistic, int factor, const TermSum<4>& terms)
      : statistic_(statistic), m_(factor), sum_(terms) {}
  void extend(std::span<const double> phase);
  Estimate estimate(std::span<const double> phase, double tau0) const;

 private:
  Statistic statistic_;
  std::int64_t m_;
  TermSum<4> sum_;
};

// The modified Allan deviation and the time deviation: the second differences at spacing m summed
// over a window of m successive starts, the window slid along by adding the difference that enters
// and taking off the one that leaves (both small, so the sum does not grow with the phase).
class ModifiedAccumulator {
 public:
  ModifiedAccumulator(Statistic statistic, int factor) : statistic_(statistic), m_(factor) {}
  // One whose terms over a whole series were summed elsewhere (overlappingAccumulators()), to be
  // estimated, not extended.
  ModifiedAccumulator(Statistic statistic, int factor, const TermSum<4>& terms)
      : statistic_(statistic), m_(factor), sum_(terms) {}
  void extend(std::span<const double> phase);
  Estimate estimate(std::span<const double> phase, double tau0) const;
  // The same sums read as `statistic`, Mdev or Tdev: the time deviation is the modified one
  // scaled by tau / sqrt(3), so one set of sums serves both.
  ModifiedAccumulator readAs(Statistic statistic) const {
    ModifiedAccumulator copy = *this;
    copy.statistic_ = statistic;
    return copy;
  }

 private:
  Statistic statistic_;
  std::int64_t m_;
  std::int64_t differences_ = 0;  // second differences that have entered the window so far
  double window_ = 0;             // sum of the window's differences that are not NaN
  std::int64_t windowGaps_ = 0;   // NaN differences in the window
  TermSum<4> sum_;
};

// The total deviation: second differences at spacing m around every inner sample, the series
// extended past both ends by reflection (x*[-j] = 2 x[0] - x[j], x*[N-1+j] = 2 x[N-1] - x[N-1-j]).
// The terms that reach past the start are final once formed and are gathered as the series grows;
// the m - 1 terms that reach past the current end change with every new sample and are formed
// afresh by estimate().
class TotalAccumulator {
 public:
  explicit TotalAccumulator(int factor) : m_(factor) {}
  // One whose terms were summed elsewhere (overlappingAccumulators()) from these on.
  TotalAccumulator(int factor, const TermSum<4>& terms) : m_(factor), sum_(terms) {}
  void extend(std::span<const double> phase);
  Estimate estimate(std::span<const double> phase, double tau0) const;
  const TermSum<4>& terms() const { return sum_; }

 private:
  std::int64_t m_;
  TermSum<4> sum_;
};

// The maximum time interval error: the largest peak-to-peak phase over any window of m + 1
// successive samples, windows that hold a gap left out. The extremes of the window are kept in
// two monotonic queues of sample numbers, so every sample is handled a bounded number of times.
// This is the running form; estimate() takes a whole series by maximumTimeIntervalError(), which
// finds the same windows and the same value faster.
class MtieAccumulator {
 public:
  explicit MtieAccumulator(int factor) : m_(factor) {}
  void extend(std::span<const double> phase);
  Estimate estimate(std::span<const double> phase, double tau0) const;

 private:
  std::int64_t m_;
  std::int64_t taken_ = 0;
  std::int64_t lastGap_ = -1;
  std::deque<std::int64_t> highest_;  // sample numbers of falling maxima
  std::deque<std::int64_t> lowest_;   // sample numbers of rising minima
  double worst_ = 0;
  std::int64_t windows_ = 0;
};

// The estimate at factor m from the terms used and the value they give (NaN when none was used).
Estimate estimateFrom(std::int64_t factor, double tau0, std::int64_t terms, double value);

using Accumulator = std::variant<AllanAccumulator, DifferenceAccumulator, ModifiedAccumulator,
                                 TotalAccumulator, MtieAccumulator>;

Accumulator accumulatorFor(Statistic statistic, int factor);

// The accumulator of `statistic` (any but MTIE) at `factor` whose terms numbered below `next` were
// summed elsewhere, to `total` over `count` terms: sums slid along a series window by window are
// read through the statistic's own estimate().
Accumulator accumulatorHolding(Statistic statistic, int factor, double total, std::int64_t count,
                               std::int64_t next);

// The total deviation's squared second difference at spacing m around inner sample i of the n
// samples x, reflected past either end; NaN where it touches a gap. The reflected steps are formed
// from differences of nearby samples, never from 2 x[0] - x[j] itself. Inline: it is the inner
// loop of the total deviation's ends, window by window in the dynamic stability.
inline double reflectedSecondDifference(const double* x, std::int64_t n, std::int64_t m,
                                        std::int64_t i) {
  const std::int64_t last = n - 1;
  const double backward = i >= m ? x[i] - x[i - m] : (x[i] - x[0]) + (x[m - i] - x[0]);
  const double forward =
      i + m <= last ? x[i + m] - x[i] : (x[last] - x[i]) + (x[last] - x[2 * last - i - m]);
  const double difference = forward - backward;
  return difference * difference;
}
void extend(Accumulator& accumulator, std::span<const double> phase);
Estimate estimate(const Accumulator& accumulator, std::span<const double> phase, double tau0);

}  // namespace tessarin::stability
