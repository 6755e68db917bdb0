#include "stability/TextbookStatistics.h"

#include <gtest/gtest.h>

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

// MTOTVAR's mean square (before 2 tau^2) or HTOTVAR's (before 6) of series v at factor m: per
// subsequence of 3m points without a gap, the half-average slope out, reflected to 9m points, the
// mean square of the 6m second differences of m-point means from its first 6m points.
TextbookValue reflectedMeanSquare(const std::vector<Real>& v, std::int64_t m) {
  const auto n = static_cast<std::int64_t>(v.size());
  MeanSquare outer;
  for (std::int64_t start = 0; start + 3 * m <= n; ++start) {
    std::vector<Real> s(v.begin() + start, v.begin() + start + 3 * m);
    if (std::any_of(s.begin(), s.end(), [](Real r) { return std::isnan(r); })) continue;
    const std::int64_t firstHalf = 3 * m / 2;
    const std::int64_t secondStart = (3 * m + 1) / 2;
    Real early = 0;
    Real late = 0;
    for (std::int64_t k = 0; k < firstHalf; ++k) early += s[std::size_t(k)] / firstHalf;
    for (std::int64_t k = secondStart; k < 3 * m; ++k)
      late += s[std::size_t(k)] / (3 * m - secondStart);
    const Real slope = (late - early) / secondStart;
    for (std::int64_t k = 0; k < 3 * m; ++k) s[std::size_t(k)] -= slope * k;
    std::vector<Real> e(s.rbegin(), s.rend());
    e.insert(e.end(), s.begin(), s.end());
    e.insert(e.end(), s.rbegin(), s.rend());
    const auto mean = [&e, m](std::int64_t from) {
      Real sum = 0;
      for (std::int64_t k = from; k < from + m; ++k) sum += e[std::size_t(k)];
      return sum / m;
    };
    MeanSquare inner;
    for (std::int64_t j = 0; j < 6 * m; ++j) inner.add(mean(j) - 2 * mean(j + m) + mean(j + 2 * m));
    outer.sum += inner.mean();
    ++outer.terms;
  }
  return {outer.sum / static_cast<Real>(outer.terms), outer.terms};
}

// Theo1 with tau0 = 1: per offset d the mean over the starts whose four points are there.
TextbookValue theo1(const std::vector<double>& phase, std::int64_t m) {
  const auto n = static_cast<std::int64_t>(phase.size());
  const auto x = [&phase](std::int64_t i) { return static_cast<Real>(phase.at(std::size_t(i))); };
  Real sum = 0;
  std::int64_t terms = 0;
  for (std::int64_t d = 0; d < m / 2; ++d) {
    MeanSquare s;
    for (std::int64_t i = 0; i + m < n; ++i)
      s.add(x(i) - x(i - d + m / 2) + x(i + m) - x(i + d + m / 2));
    sum += s.mean() / (m / 2 - d);
    terms += s.terms;
  }
  return {sum / (Real{0.75} * m * m), terms};
}

// TheoBR's ratio by its definition: the mean of AVAR(9 + 3i) / Theo1(12 + 4i), i = 0 .. n.
Real theoBiasRatio(const std::vector<double>& phase) {
  const auto n = static_cast<std::int64_t>(phase.size());
  const auto last = static_cast<std::int64_t>(std::floor(0.1 * static_cast<double>(n) / 3 - 3));
  Real sum = 0;
  for (std::int64_t i = 0; i <= last; ++i) {
    const Real allan = textbookValue(Statistic::Oadev, phase, 1, static_cast<int>(9 + 3 * i)).value;
    sum += allan * allan / theo1(phase, 12 + 4 * i).value;
  }
  return sum / static_cast<Real>(last + 1);
}

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
    case Statistic::StandardAdev:  // every point x[0], x[m], ... that exists
      for (std::int64_t j = 0; (j + 2) * m < n; ++j) s.add(second(j * m));
      return {std::sqrt(s.mean() / (2 * tau * tau)), s.terms};
    case Statistic::Mtotdev:
    case Statistic::Ttotdev: {
      std::vector<Real> v;
      for (const double p : phase) v.push_back(p);
      const TextbookValue total = reflectedMeanSquare(v, m);
      const Real mtot = std::sqrt(total.value / (2 * tau * tau));
      return {statistic == Statistic::Mtotdev ? mtot : tau / std::sqrt(Real{3}) * mtot,
              total.terms};
    }
    case Statistic::Htotdev: {
      if (m == 1) return textbookValue(Statistic::Ohdev, phase, tau0, factor);
      std::vector<Real> y;
      for (std::int64_t i = 0; i + 1 < n; ++i) y.push_back((x(i + 1) - x(i)) / tau0);
      const TextbookValue total = reflectedMeanSquare(y, m);
      return {std::sqrt(total.value / 6), total.terms};
    }
    case Statistic::Theo1: {
      const TextbookValue t = theo1(phase, m);
      return {std::sqrt(t.value) / tau0, t.terms};
    }
    case Statistic::Theoh:
      if (10 * m < n) return textbookValue(Statistic::Oadev, phase, tau0, factor);
      [[fallthrough]];
    case Statistic::Theobr: {
      const TextbookValue t = theo1(phase, m);
      return {std::sqrt(t.value * theoBiasRatio(phase)) / tau0, t.terms};
    }
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

void expectTextbookValuesAtOctavesAndDecades(Statistic statistic, const std::vector<double>& phase,
                                             double tolerance, const char* series) {
  std::vector<int> factors = octaveFactors(statistic, std::ssize(phase));
  for (int m : decadeFactors(statistic, std::ssize(phase))) factors.push_back(m);
  ASSERT_FALSE(factors.empty()) << series << " " << nameOf(statistic);
  for (int m : factors) {
    const TextbookValue expected = textbookValue(statistic, phase, 0.5, m);
    const Estimate e = estimate(statistic, phase, 0.5, m);
    EXPECT_EQ(e.terms, expected.terms) << series << " " << nameOf(statistic) << " m = " << m;
    if (expected.terms == 0)
      EXPECT_TRUE(std::isnan(e.value)) << series << " " << nameOf(statistic) << " m = " << m;
    else
      EXPECT_NEAR(e.value / static_cast<double>(expected.value), 1, tolerance)
          << series << " " << nameOf(statistic) << " m = " << m;
  }
}

}  // namespace tessarin::stability
