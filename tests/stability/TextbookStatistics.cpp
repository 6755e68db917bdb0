#include "stability/TextbookStatistics.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <span>

namespace tessarin::stability {

namespace {

using Real = long double;

// The mean of the squares of the terms that are not NaN.
struct MeanSquare {
  Real sum = 0;
  std::int64_t terms = 0;
  void add(Real term) {
    if (std::isnan(term)) return;
    sum += term * term;
    ++terms;
  }
  Real mean() const { return sum / static_cast<Real>(terms); }
};

}  // namespace

TextbookValue textbookValue(Statistic statistic, const std::vector<double>& phase, double tau0,
                            int factor) {
  const auto n = static_cast<std::int64_t>(phase.size());
  const std::int64_t m = factor;
  const Real tau = static_cast<Real>(tau0) * m;
  const auto x = [&phase](std::int64_t i) { return static_cast<Real>(phase.at(std::size_t(i))); };
  const auto second = [&x, m](std::int64_t i) { return x(i + 2 * m) - 2 * x(i + m) + x(i); };
  const auto third = [&x, m](std::int64_t i) {
    return x(i + 3 * m) - 3 * x(i + 2 * m) + 3 * x(i + m) - x(i);
  };
  MeanSquare s;
  switch (statistic) {
    case Statistic::Adev:  // n / m decimated points, each with its whole block of m samples
      for (std::int64_t j = 0; j + 2 < n / m; ++j) s.add(second(j * m));
      return {std::sqrt(s.mean() / (2 * tau * tau)), s.terms};
    case Statistic::StandardAdev:  // every point x[0], x[m], ... that exists
      for (std::int64_t j = 0; (j + 2) * m < n; ++j) s.add(second(j * m));
      return {std::sqrt(s.mean() / (2 * tau * tau)), s.terms};
    case Statistic::Oadev:
      for (std::int64_t i = 0; i + 2 * m < n; ++i) s.add(second(i));
      return {std::sqrt(s.mean() / (2 * tau * tau)), s.terms};
    case Statistic::Mdev:
    case Statistic::Tdev: {
      for (std::int64_t j = 0; j + 3 * m <= n; ++j) {
        Real inner = 0;
        for (std::int64_t i = j; i < j + m; ++i) inner += second(i);
        s.add(inner);
      }
      const Real mdev = std::sqrt(s.mean() / (2 * m * m * tau * tau));
      return {statistic == Statistic::Mdev ? mdev : tau / std::sqrt(Real{3}) * mdev, s.terms};
    }
    case Statistic::Hdev:  // every point x[0], x[m], ... that exists
      for (std::int64_t j = 0; (j + 3) * m < n; ++j) s.add(third(j * m));
      return {std::sqrt(s.mean() / (6 * tau * tau)), s.terms};
    case Statistic::Ohdev:
      for (std::int64_t i = 0; i + 3 * m < n; ++i) s.add(third(i));
      return {std::sqrt(s.mean() / (6 * tau * tau)), s.terms};
    case Statistic::Totdev: {
      // x* over -(n - 1) .. 2 (n - 1), reflected about both end points.
      const std::int64_t last = n - 1;
      const auto reflected = [&](std::int64_t i) {
        if (i < 0) return 2 * x(0) - x(-i);
        if (i > last) return 2 * x(last) - x(2 * last - i);
        return x(i);
      };
      for (std::int64_t i = 1; i < last; ++i)
        s.add(reflected(i - m) - 2 * reflected(i) + reflected(i + m));
      return {std::sqrt(s.mean() / (2 * tau * tau)), s.terms};
    }
    case Statistic::Mtie: {
      TextbookValue worst{0, 0};
      for (std::int64_t j = 0; j + m < n; ++j) {
        const auto window = std::span(phase).subspan(std::size_t(j), std::size_t(m + 1));
        if (std::any_of(window.begin(), window.end(), [](double v) { return std::isnan(v); }))
          continue;
        const auto [low, high] = std::minmax_element(window.begin(), window.end());
        worst.value = std::max(worst.value, Real{*high} - Real{*low});
        ++worst.terms;
      }
      return worst;
    }
    case Statistic::TieRms:
      for (std::int64_t i = 0; i + m < n; ++i) s.add(x(i + m) - x(i));
      return {std::sqrt(s.mean()), s.terms};
  }
  return {};
}

std::vector<double> noisyPhase(int n, double frequencyOffset, double gapShare, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> noise(0, 1e-11);
  std::bernoulli_distribution gap(gapShare);
  std::vector<double> phase;
  double walk = 0;
  for (int k = 0; k < n; ++k) {
    walk += noise(random);
    phase.push_back(gap(random) ? NAN : frequencyOffset * k + walk + noise(random));
  }
  return phase;
}

}  // namespace tessarin::stability
