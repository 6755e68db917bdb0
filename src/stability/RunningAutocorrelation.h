#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace tessarin::stability {

// The lag-1 autocorrelation of a series that grows one value at a time, and of the series
// differenced up to `differenceLimit` times (at most 3), each in O(1) from running sums. The values
// are those identifyNoise() would form: differences are taken in double as later minus earlier, a
// gap (NaN) leaves out itself, the differences that touch it and the pairs it is part of.
//
// r1 = sum (z_i - mean)(z_i+1 - mean) / sum (z_i - mean)^2 is worked out from the sums of z, z^2,
// z_i z_i+1 and of the pairs' two members. Taken naively these cancel badly: a phase with a large
// frequency offset has differences far larger than their spread. So each series is summed as its
// offset from its own first value, in double.
class RunningAutocorrelation {
 public:
  explicit RunningAutocorrelation(int differenceLimit) : differenceLimit_(differenceLimit) {}

  void append(double value);

  // Values taken so far, gaps included.
  std::int64_t size() const { return levels_[0].values; }

  // r1 of the series differenced d times; nullopt with fewer than two values present or no spread.
  std::optional<double> afterDifferences(int d) const;

 private:
  struct Sums {
    std::int64_t values = 0;
    double last = std::numeric_limits<double>::quiet_NaN();
    double reference = 0;  // the first value present
    std::int64_t present = 0;
    double sum = 0;
    double squares = 0;
    std::int64_t pairs = 0;
    double products = 0;
    double earlierOfPairs = 0;
    double laterOfPairs = 0;

    void take(double value);
  };

  int differenceLimit_;
  std::array<Sums, 4> levels_{};
};

}  // namespace tessarin::stability
