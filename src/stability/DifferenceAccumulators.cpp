#include <cmath>

#include "stability/Accumulators.h"

namespace tessarin::stability {

void AllanAccumulator::extend(std::span<const double> phase) {
  const double* x = phase.data();
  const std::int64_t m = m_;
  const std::int64_t decimatedPoints = std::ssize(phase) / m;
  sum_.extendTo(decimatedPoints - 2, [x, m](std::int64_t j) {
    const double secondDifference = x[(j + 2) * m] - 2 * x[(j + 1) * m] + x[j * m];
    return secondDifference * secondDifference;
  });
}

Estimate AllanAccumulator::estimate(std::span<const double>, double tau0) const {
  const double tau = tau0 * static_cast<double>(m_);
  const auto terms = static_cast<double>(sum_.count());
  return estimateFrom(m_, tau0, sum_.count(), std::sqrt(sum_.total() / (2.0 * terms * tau * tau)));
}

void DifferenceAccumulator::extend(std::span<const double> phase) {
  const double* x = phase.data();
  const std::int64_t m = m_;
  const std::int64_t n = std::ssize(phase);
  const auto thirdDifference = [x, m](std::int64_t b) {
    const double first = x[b + m] - x[b];
    const double second = x[b + 2 * m] - x[b + m];
    const double third = x[b + 3 * m] - x[b + 2 * m];
    const double difference = (third - second) - (second - first);
    return difference * difference;
  };
  switch (statistic_) {
    case Statistic::Oadev:
      sum_.extendTo(n - 2 * m, [x, m](std::int64_t b) {
        const double difference = (x[b + 2 * m] - x[b + m]) - (x[b + m] - x[b]);
        return difference * difference;
      });
      break;
    case Statistic::StandardAdev:
      // Every point x[0], x[m], ... that exists is a decimated point.
      if (n > 0)
        sum_.extendTo((n - 1) / m - 1, [x, m](std::int64_t t) {
          const std::int64_t b = t * m;
          const double difference = (x[b + 2 * m] - x[b + m]) - (x[b + m] - x[b]);
          return difference * difference;
        });
      break;
    case Statistic::Hdev:
      // Every point x[0], x[m], ... that exists is a decimated point.
      if (n > 0)
        sum_.extendTo((n - 1) / m - 2,
                      [thirdDifference, m](std::int64_t t) { return thirdDifference(t * m); });
      break;
    case Statistic::Ohdev:
      sum_.extendTo(n - 3 * m, thirdDifference);
      break;
    default:  // TieRms
      sum_.extendTo(n - m, [x, m](std::int64_t b) {
        const double error = x[b + m] - x[b];
        return error * error;
      });
      break;
  }
}

Estimate DifferenceAccumulator::estimate(std::span<const double>, double tau0) const {
  const double tau = tau0 * static_cast<double>(m_);
  const auto terms = static_cast<double>(sum_.count());
  double variance = sum_.total() / terms;
  if (statistic_ == Statistic::Oadev || statistic_ == Statistic::StandardAdev)
    variance /= 2 * tau * tau;
  if (statistic_ == Statistic::Hdev || statistic_ == Statistic::Ohdev) variance /= 6 * tau * tau;
  return estimateFrom(m_, tau0, sum_.count(), std::sqrt(variance));
}

}  // namespace tessarin::stability
