#include "analysis/DynamicStability.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/Conditioning.h"
#include "analysis/SlidingTermSum.h"
#include "stability/Accumulators.h"
#include "stability/LongTau.h"
#include "stability/Preprocessing.h"

namespace tessarin::analysis {

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
    const std::span<const double> slice =
        phase.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(window));
    double total = sum.total();
    std::int64_t count = sum.count();
    // The total deviation's own estimate() adds the terms reflected past the window's end; those
    // reflected past its start are added here, before the inner ones it takes as summed.
    std::int64_t next = 0;
    if (map.statistic == Statistic::Totdev) {
      long double edges = 0;
      for (std::int64_t i = 1; i < m; ++i) {
        const double edge = stability::reflectedSecondDifference(slice.data(), window, m, i);
        if (std::isnan(edge)) continue;
        edges += edge;
        ++count;
      }
      total = static_cast<double>(static_cast<long double>(total) + edges);
      next = window - 1 - m;
    }
    map.estimates[w * map.factors.size() + column] = stability::estimate(
        stability::accumulatorHolding(map.statistic, static_cast<int>(m), total, count, next),
        slice, map.tau0);
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

bool isWindowedDeviation(Statistic statistic) {
  return statistic != Statistic::Mtie && statistic != Statistic::TieRms &&
         !stability::isLongTau(statistic);
}

platform::Result<DynamicAnalysis> analyseDynamic(std::vector<double> phase, double tau0,
                                                 const DynamicRequest& request) {
  DynamicAnalysis analysis;
  auto record = conditionPhase(phase, tau0, request.preprocessing);
  if (!record) return platform::Result<DynamicAnalysis>::failure(record.reason());
  analysis.conditioning = std::move(record.value());
  const std::optional<DriftFit>& drift = analysis.conditioning.drift;
  if (drift && drift->onPhase && drift->model != DriftModel::Average && drift->converged)
    analysis.driftPerDay = drift->coefficients.front().value;
  analysis.meanFrequency = analysis.conditioning.meanFrequency;
  analysis.map = dynamicStability(request.statistic, phase, tau0, request.windows);
  return analysis;
}

platform::Result<DynamicAnalysis> analyseDynamicSeries(std::span<const double> phase, double tau0,
                                                       const DynamicRequest& request) {
  if (request.preprocessing.any())
    return analyseDynamic({phase.begin(), phase.end()}, tau0, request);
  return DynamicAnalysis{
      dynamicStability(request.statistic, phase, tau0, request.windows), {}, {}, {}};
}

}  // namespace tessarin::analysis
