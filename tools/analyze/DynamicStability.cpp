#include "DynamicStability.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "SlidingTermSum.h"
#include "stability/Accumulators.h"

namespace tessarin::analyze {

namespace {

using stability::Statistic;

// Where the terms of a statistic at factor m lie: term i covers the samples i .. i + span - 1, and
// a window's terms start at its first sample and every stride-th after it.
struct TermLayout {
  std::int64_t span = 0;
  std::int64_t stride = 1;
};

TermLayout layoutOf(Statistic statistic, std::int64_t m) {
  switch (statistic) {
    case Statistic::Adev:
      // The console's rule: a decimated point counts once its whole block of m samples is in.
      return {3 * m, m};
    case Statistic::StandardAdev:
      return {2 * m + 1, m};
    case Statistic::Mdev:
    case Statistic::Tdev:
      return {3 * m, 1};
    case Statistic::Hdev:
      return {3 * m + 1, m};
    case Statistic::Ohdev:
      return {3 * m + 1, 1};
    default:  // Oadev, and the inner terms of Totdev
      return {2 * m + 1, 1};
  }
}

// The deviation from the sum of its `count` terms at factor m, as the whole-series statistic
// forms it.
double deviationFrom(Statistic statistic, std::int64_t m, double tau0, double total,
                     std::int64_t count) {
  const double tau = tau0 * static_cast<double>(m);
  const auto terms = static_cast<double>(count);
  switch (statistic) {
    case Statistic::Mdev:
    case Statistic::Tdev: {
      const auto factor = static_cast<double>(m);
      const double deviation = std::sqrt(total / (2 * factor * factor * tau * tau * terms));
      return statistic == Statistic::Tdev ? deviation * tau / std::sqrt(3.0) : deviation;
    }
    case Statistic::Hdev:
    case Statistic::Ohdev:
      return std::sqrt(total / terms / (6 * tau * tau));
    default:  // Adev, StandardAdev, Oadev, Totdev
      return std::sqrt(total / (2 * terms * tau * tau));
  }
}

double square(double value) { return value * value; }

// The squared sums of m successive second differences that the modified deviations are made of,
// one per start i (NaN where one of them touches a gap). The inner sum slides as well.
std::vector<double> modifiedTerms(const double* x, std::int64_t n, std::int64_t m) {
  const auto secondDifference = [x, m](std::int64_t i) {
    return (x[i + 2 * m] - x[i + m]) - (x[i + m] - x[i]);
  };
  std::vector<double> terms(static_cast<std::size_t>(std::max<std::int64_t>(n - 3 * m + 1, 0)));
  SlidingTermSum inner;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const auto first = static_cast<std::int64_t>(i);
    inner.moveTo(first, first + m, 1, secondDifference);
    terms[i] = inner.count() < m ? NAN : square(inner.total());
  }
  return terms;
}

// The total deviation's squared second difference around inner sample i of the window y of n
// samples, reflected past either end, formed from differences of nearby samples as the
// whole-series statistic forms it.
double reflectedTerm(const double* y, std::int64_t n, std::int64_t m, std::int64_t i) {
  const std::int64_t last = n - 1;
  const double backward = i >= m ? y[i] - y[i - m] : (y[i] - y[0]) + (y[m - i] - y[0]);
  const double forward =
      i + m <= last ? y[i + m] - y[i] : (y[last] - y[i]) + (y[last] - y[2 * last - i - m]);
  return square(forward - backward);
}

// The sum and count of the total deviation's reflected terms of the window y of n samples: the
// m - 1 around the first inner samples and the m - 1 around the last.
std::pair<long double, std::int64_t> reflectedTerms(const double* y, std::int64_t n,
                                                    std::int64_t m) {
  long double sum = 0;
  std::int64_t count = 0;
  const auto take = [&](std::int64_t i) {
    const double term = reflectedTerm(y, n, m, i);
    if (std::isnan(term)) return;
    sum += term;
    ++count;
  };
  for (std::int64_t i = 1; i < m; ++i) take(i);
  for (std::int64_t i = n - m; i <= n - 2; ++i) take(i);
  return {sum, count};
}

// Fills the column of factor `column` of the map, sliding the sums of `term` from window to
// window (one sum per residue of the window start modulo the stride).
template <class Term>
void slide(DynamicMap& map, std::size_t column, std::span<const double> phase, Term term) {
  const std::int64_t m = map.factors[column];
  const std::int64_t window = map.windows.window;
  const TermLayout layout = layoutOf(map.statistic, m);
  std::vector<SlidingTermSum> sums(static_cast<std::size_t>(layout.stride));
  for (std::size_t w = 0; w < map.starts.size(); ++w) {
    const std::int64_t start = map.starts[w];
    SlidingTermSum& sum = sums[static_cast<std::size_t>(start % layout.stride)];
    sum.moveTo(start, start + window - layout.span + 1, layout.stride, term);
    double total = sum.total();
    std::int64_t count = sum.count();
    if (map.statistic == Statistic::Totdev) {
      const auto [edges, edgeCount] = reflectedTerms(phase.data() + start, window, m);
      total = static_cast<double>(static_cast<long double>(total) + edges);
      count += edgeCount;
    }
    map.estimates[w * map.factors.size() + column] = stability::estimateFrom(
        m, map.tau0, count, deviationFrom(map.statistic, m, map.tau0, total, count));
  }
}

}  // namespace

std::vector<int> dynamicFactors(Statistic statistic, int window) {
  std::vector<int> factors = stability::octaveFactors(statistic, window);
  std::erase_if(factors, [window](int m) { return m > window / 4; });
  return factors;
}

DynamicMap dynamicStability(Statistic statistic, std::span<const double> phase, double tau0,
                            DynamicWindows windows) {
  DynamicMap map{statistic, tau0, windows, dynamicFactors(statistic, windows.window), {}, {}};
  const auto n = std::ssize(phase);
  for (std::int64_t start = 0; start + windows.window <= n; start += windows.step)
    map.starts.push_back(start);
  map.estimates.resize(map.starts.size() * map.factors.size());
  const double* x = phase.data();
  for (std::size_t column = 0; column < map.factors.size(); ++column) {
    const std::int64_t m = map.factors[column];
    switch (statistic) {
      case Statistic::Adev:
        slide(map, column, phase,
              [x, m](std::int64_t i) { return square(x[i + 2 * m] - 2 * x[i + m] + x[i]); });
        break;
      case Statistic::Mdev:
      case Statistic::Tdev: {
        const std::vector<double> terms = modifiedTerms(x, n, m);
        slide(map, column, phase,
              [&terms](std::int64_t i) { return terms[static_cast<std::size_t>(i)]; });
        break;
      }
      case Statistic::Hdev:
      case Statistic::Ohdev:
        slide(map, column, phase, [x, m](std::int64_t b) {
          const double first = x[b + m] - x[b];
          const double second = x[b + 2 * m] - x[b + m];
          const double third = x[b + 3 * m] - x[b + 2 * m];
          return square((third - second) - (second - first));
        });
        break;
      default:  // StandardAdev, Oadev, Totdev
        slide(map, column, phase, [x, m](std::int64_t b) {
          return square((x[b + 2 * m] - x[b + m]) - (x[b + m] - x[b]));
        });
        break;
    }
  }
  return map;
}

}  // namespace tessarin::analyze
