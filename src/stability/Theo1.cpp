#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "stability/LongTauParts.h"
#include "stability/NoiseIdentification.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

namespace {

// Beyond this many points the bias ratio is taken on block means (Taylor and Howe's fast TheoBR).
constexpr std::int64_t kMostBiasPoints = 8192;

struct SquareSum {
  double sum = 0;
  std::int64_t count = 0;
};

// The sum of the squared terms (x_i - x_{i+a}) + (x_{i+m} - x_{i+b}) over i = 0 .. starts - 1, in
// four lanes; with gaps a term with a NaN in it is left out.
SquareSum squaredTerms(const double* x, std::int64_t starts, std::int64_t m, std::int64_t a,
                       std::int64_t b, bool gaps) {
  std::array<double, 4> lanes{};
  std::array<std::int64_t, 4> counts{};
  std::int64_t i = 0;
  if (gaps) {
    for (; i < starts; ++i) {
      const double term = (x[i] - x[i + a]) + (x[i + m] - x[i + b]);
      const bool present = !std::isnan(term);
      lanes[0] += present ? term * term : 0.0;
      counts[0] += present ? 1 : 0;
    }
  } else {
    for (; i + 4 <= starts; i += 4) {
      for (std::int64_t k = 0; k < 4; ++k) {
        const std::int64_t j = i + k;
        const double term = (x[j] - x[j + a]) + (x[j + m] - x[j + b]);
        lanes[static_cast<std::size_t>(k)] += term * term;
      }
    }
    for (; i < starts; ++i) {
      const double term = (x[i] - x[i + a]) + (x[i + m] - x[i + b]);
      lanes[0] += term * term;
    }
    counts[0] = starts;
  }
  return {(lanes[0] + lanes[1]) + (lanes[2] + lanes[3]), counts[0]};
}

double ratioOf(std::span<const double> series) {
  const auto n = std::ssize(series);
  const auto last = static_cast<std::int64_t>(std::floor(0.1 * static_cast<double>(n) / 3 - 3));
  double sum = 0;
  std::int64_t ratios = 0;
  for (std::int64_t i = 0; i <= last; ++i) {
    const Estimate allan = estimate(Statistic::Oadev, series, 1, static_cast<int>(9 + 3 * i));
    const VarianceTerms theo = theo1Variance(series, 12 + 4 * i);
    const double ratio = allan.value * allan.value / theo.variance;
    if (std::isnan(ratio) || std::isinf(ratio)) continue;
    sum += ratio;
    ++ratios;
  }
  return ratios > 0 ? sum / static_cast<double>(ratios) : NAN;
}

}  // namespace

VarianceTerms theo1Variance(std::span<const double> phase, std::int64_t factor) {
  const std::int64_t m = factor;
  const auto n = std::ssize(phase);
  if (m < 2 || m % 2 != 0 || m > n - 1) return {NAN, 0};
  const bool gaps = std::any_of(phase.begin(), phase.end(), [](double v) { return std::isnan(v); });
  const std::int64_t half = m / 2;
  double weighted = 0;
  std::int64_t terms = 0;
  for (std::int64_t d = 0; d < half; ++d) {
    const SquareSum s = squaredTerms(phase.data(), n - m, m, half - d, half + d, gaps);
    if (s.count == 0) return {NAN, 0};
    weighted += s.sum / static_cast<double>(s.count) / static_cast<double>(half - d);
    terms += s.count;
  }
  const auto md = static_cast<double>(m);
  return {weighted / (0.75 * md * md), terms};
}

double theoBiasRatio(std::span<const double> phase) {
  const auto n = std::ssize(phase);
  if (n <= kMostBiasPoints) return ratioOf(phase);
  const auto block = static_cast<int>((n + kMostBiasPoints - 1) / kMostBiasPoints);
  return ratioOf(blockMeans(phase, block));
}

}  // namespace tessarin::stability
