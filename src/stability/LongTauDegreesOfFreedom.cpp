#include <array>
#include <cmath>
#include <limits>

#include "stability/DegreesOfFreedom.h"
#include "stability/LongTau.h"

// Equivalent degrees of freedom of the long-tau family, from the published approximations:
//  - MTOTDEV, TTOTDEV: b T/tau - c (NIST SP 1065, after Howe and Vernotte), T/tau = (N - 1) / m;
//  - HTOTDEV: (T/tau) / (b0 + b1 tau/T) for the frequency noises from m = 16 on (Howe et al., the
//    Hadamard total variance; SP 1065), below that and for the phase noises the overlapping
//    Hadamard deviation's, which it equals at m = 1 and is close to at short tau;
//  - Theo1, TheoBR and TheoH's TheoBR range: SP 1065's per-noise formulas (Howe and Peppler) in N
//    and r = 0.75 m (the bias removal scales the estimate, not its spread); TheoH's Allan range the
//    overlapping Allan deviation's.

namespace tessarin::stability {

namespace {

constexpr double kNoEdf = std::numeric_limits<double>::quiet_NaN();
// HTOTDEV's approximation holds from this factor on.
constexpr int kLeastHadamardTotalFactor = 16;

struct Line {
  double b;
  double c;
};

double modifiedTotalEdf(int alpha, int factor, std::int64_t sampleCount) {
  // White PM, flicker PM, white FM, flicker FM, random-walk FM.
  static constexpr std::array<Line, 5> kByNoise = {
      {{1.90, 2.1}, {1.20, 1.40}, {1.10, 1.2}, {0.85, 0.50}, {0.75, 0.31}}};
  if (alpha > 2 || alpha < -2 || sampleCount < 2) return kNoEdf;
  const Line& line = kByNoise[static_cast<std::size_t>(2 - alpha)];
  return line.b * static_cast<double>(sampleCount - 1) / factor - line.c;
}

double hadamardTotalEdf(int alpha, int factor, std::int64_t sampleCount, EdfMethod method) {
  // White FM, flicker FM, random-walk FM, flicker walk FM, random-run FM.
  static constexpr std::array<Line, 5> kByNoise = {
      {{0.559, 1.004}, {0.868, 1.140}, {0.938, 1.696}, {0.974, 2.554}, {1.276, 3.149}}};
  if (factor < kLeastHadamardTotalFactor || alpha > 0)
    return greenhallRileyEdf(alpha, 3, factor, sampleCount, false, true, method);
  if (alpha < -4 || sampleCount < 2) return kNoEdf;
  const Line& line = kByNoise[static_cast<std::size_t>(-alpha)];
  const double recordOverTau = static_cast<double>(sampleCount - 1) / factor;
  return recordOverTau / (line.b + line.c / recordOverTau);
}

double theo1Edf(int alpha, int factor, std::int64_t sampleCount) {
  const double n = static_cast<double>(sampleCount);
  const double r = 0.75 * factor;
  switch (alpha) {
    case 2:
      return 0.86 * (n + 1) * (n - 4 * r / 3) / (n - r) * (r / (r + 1.14));
    case 1:
      return (4.798 * n * n - 6.374 * n * r + 12.387 * r) / (std::sqrt(r + 36.6) * (n - r)) *
             (r / (r + 0.3));
    case 0:
      return ((4.1 * n + 0.8) / r - (3.1 * n + 6.5) / n) *
             (std::pow(r, 1.5) / (std::pow(r, 1.5) + 5.2));
    case -1:
      return (2 * n * n - 1.3 * n * r - 3.5 * r) / (n * r) * (r * r * r / (r * r * r + 2.3));
    case -2: {
      const double a = 4.4 * n;
      return (a - 2) / (2.9 * r) * ((a - 1) * (a - 1) - 8.6 * r * (a - 1) + 11.4 * r * r) /
             ((a - 3) * (a - 3));
    }
    default:
      return kNoEdf;
  }
}

}  // namespace

double longTauDegreesOfFreedom(Statistic statistic, int alpha, int factor, std::int64_t sampleCount,
                               EdfMethod method) {
  if (factor < 1) return kNoEdf;
  switch (statistic) {
    case Statistic::Mtotdev:
    case Statistic::Ttotdev:
      return modifiedTotalEdf(alpha, factor, sampleCount);
    case Statistic::Htotdev:
      return hadamardTotalEdf(alpha, factor, sampleCount, method);
    case Statistic::Theo1:
    case Statistic::Theobr:
      return theo1Edf(alpha, factor, sampleCount);
    case Statistic::Theoh:
      if (theohTakesAllan(factor, sampleCount))
        return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true, method);
      return theo1Edf(alpha, factor, sampleCount);
    default:
      return kNoEdf;
  }
}

double longTauGapFreeTerms(Statistic statistic, int factor, std::int64_t sampleCount) {
  const std::int64_t m = factor;
  const std::int64_t n = sampleCount;
  switch (statistic) {
    case Statistic::Mtotdev:
    case Statistic::Ttotdev:
      return static_cast<double>(n - 3 * m + 1);
    case Statistic::Htotdev:
      return static_cast<double>(m == 1 ? n - 3 : n - 3 * m);
    case Statistic::Theoh:
      if (theohTakesAllan(m, n)) return static_cast<double>(n - 2 * m);
      [[fallthrough]];
    case Statistic::Theo1:
    case Statistic::Theobr:
      return static_cast<double>((n - m) * (m / 2));
    default:
      return 0;
  }
}

}  // namespace tessarin::stability
