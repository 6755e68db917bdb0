#include <algorithm>
#include <array>
#include <cmath>

#include "stability/Accumulators.h"

namespace tessarin::stability {

namespace {

using Turned = TermSum<4>::Turned;

// Terms taken together, as if they held no gap and again with the checks where they do: their
// samples stay in the first-level cache between the two.
constexpr std::int64_t kTermsAtOnce = 1024;

// The overlapping Allan deviation's squared second differences of the terms from .. to - 1 (a
// whole number of fours), the loop's i-th term, term from + i, into lane i % 4 of `sums`. First
// as if no term were NaN, each four formed side by side as vector registers take them: a NaN term
// would make its lane NaN, which a sum of squares without gaps never is, and then the terms are
// taken again one by one with the checks. Either way each lane has the terms, and the bits, that
// TermSum::extendTo() gives it.
void addSecondDifferences(const double* x, std::int64_t m, std::int64_t from, std::int64_t to,
                          Turned& sums) {
  Turned held = sums;
  for (std::int64_t b = from; b < to; b += 4) {
    std::array<double, 4> difference{};
#pragma GCC unroll 4
    for (std::size_t k = 0; k < 4; ++k) {
      const std::int64_t i = b + static_cast<std::int64_t>(k);
      difference[k] = (x[i + 2 * m] - x[i + m]) - (x[i + m] - x[i]);
    }
#pragma GCC unroll 4
    for (std::size_t k = 0; k < 4; ++k) held.lane[k] += difference[k] * difference[k];
  }
  held.count += to - from;
  if (std::none_of(held.lane.begin(), held.lane.end(), [](double v) { return std::isnan(v); })) {
    sums = held;
    return;
  }
  for (std::int64_t b = from; b < to; ++b) {
    const double difference = (x[b + 2 * m] - x[b + m]) - (x[b + m] - x[b]);
    sums.add(static_cast<std::size_t>((b - from) % 4), difference * difference);
  }
}

}  // namespace

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
    case Statistic::Oadev: {
      // The terms not yet added, a whole number of fours of them a block at a time; the rest below.
      const std::int64_t first = sum_.next();
      const std::int64_t fours = std::max<std::int64_t>(0, n - 2 * m - first) / 4 * 4;
      Turned turned = sum_.turned();
      for (std::int64_t from = 0; from < fours; from += kTermsAtOnce)
        addSecondDifferences(x + first, m, from, std::min(fours, from + kTermsAtOnce), turned);
      sum_.resume(turned, first + fours);
      sum_.extendTo(n - 2 * m, [x, m](std::int64_t b) {
        const double difference = (x[b + 2 * m] - x[b + m]) - (x[b + m] - x[b]);
        return difference * difference;
      });
      break;
    }
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
