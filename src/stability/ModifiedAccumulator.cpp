#include <cmath>

#include "stability/Accumulators.h"

namespace tessarin::stability {

void ModifiedAccumulator::extend(std::span<const double> phase) {
  const double* x = phase.data();
  const std::int64_t m = m_;
  const auto secondDifference = [x, m](std::int64_t i) {
    return (x[i + 2 * m] - x[i + m]) - (x[i + m] - x[i]);
  };
  std::int64_t entered = differences_;
  double window = window_;
  std::int64_t gaps = windowGaps_;
  // Term j is the squared sum of the second differences j .. j + m - 1; the terms come in order.
  sum_.extendTo(std::ssize(phase) - 3 * m + 1, [&](std::int64_t j) {
    for (; entered < j + m; ++entered) {
      const double entering = secondDifference(entered);
      double change = 0;
      if (std::isnan(entering))
        ++gaps;
      else
        change = entering;
      if (entered >= m) {
        const double leaving = secondDifference(entered - m);
        if (std::isnan(leaving))
          --gaps;
        else
          change -= leaving;
      }
      window += change;
    }
    return gaps > 0 ? NAN : window * window;
  });
  differences_ = entered;
  window_ = window;
  windowGaps_ = gaps;
}

Estimate ModifiedAccumulator::estimate(std::span<const double>, double tau0) const {
  const auto m = static_cast<double>(m_);
  const double tau = tau0 * m;
  const auto terms = static_cast<double>(sum_.count());
  double deviation = std::sqrt(sum_.total() / (2 * m * m * tau * tau * terms));
  if (statistic_ == Statistic::Tdev) deviation *= tau / std::sqrt(3.0);
  return estimateFrom(m_, tau0, sum_.count(), deviation);
}

}  // namespace tessarin::stability
