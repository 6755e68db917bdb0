#include <algorithm>
#include <cmath>

#include "stability/Accumulators.h"

namespace tessarin::stability {

// Term t is the one around sample i = t + 1; those with i + m < n reach no further than the
// series does and no longer change.
void TotalAccumulator::extend(std::span<const double> phase) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  const std::int64_t m = m_;
  if (m > n - 1) return;
  // Past the terms that reach before the start, the plain second difference (the same arithmetic).
  sum_.extendTo(std::min(m - 1, n - 1 - m),
                [x, n, m](std::int64_t t) { return reflectedSecondDifference(x, n, m, t + 1); });
  sum_.extendTo(n - 1 - m, [x, m](std::int64_t t) {
    const double difference = (x[t + 1 + m] - x[t + 1]) - (x[t + 1] - x[t + 1 - m]);
    return difference * difference;
  });
}

Estimate TotalAccumulator::estimate(std::span<const double> phase, double tau0) const {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  const std::int64_t m = m_;
  if (n < 3 || m > n - 1) return estimateFrom(m_, tau0, 0, NAN);
  TermSum<4> all = sum_;
  all.extendTo(n - 2,
               [x, n, m](std::int64_t t) { return reflectedSecondDifference(x, n, m, t + 1); });
  const double tau = tau0 * static_cast<double>(m);
  const auto terms = static_cast<double>(all.count());
  return estimateFrom(m_, tau0, all.count(), std::sqrt(all.total() / (2 * tau * tau * terms)));
}

}  // namespace tessarin::stability
