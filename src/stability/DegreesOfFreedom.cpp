#include "stability/DegreesOfFreedom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "stability/Confidence.h"
#include "stability/LongTau.h"

// Equivalent degrees of freedom of the Allan and Hadamard variances and their modified and
// overlapping forms by the general method of C. A. Greenhall and W. J. Riley, "Uncertainty of
// stability variances based on finite differences", 35th PTTI Meeting, 2003. The variance is an
// average of squared d-th differences of the phase, each over a filter of length m / F + m d,
// taken every m / S samples; its EDF follows from the noise's generalized autocovariance sw.

namespace tessarin::stability {

namespace {

constexpr double kNoEdf = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnfiltered = std::numeric_limits<double>::infinity();
// Beyond this many lags the sum is taken on a grid of this many points (the method's J_max).
constexpr int kMostLags = 100;

// The generalized autocovariance of power-law noise alpha, up to a constant factor.
double sw(double t, int alpha) {
  const double a = std::abs(t);
  const double logA = a > 0 ? std::log(a) : 0.0;  // t^k ln|t| -> 0 at t = 0
  switch (alpha) {
    case 2:
      return -a;
    case 1:
      return a * a * logA;
    case 0:
      return a * a * a;
    case -1:
      return -std::pow(a, 4) * logA;
    case -2:
      return -std::pow(a, 5);
    case -3:
      return std::pow(a, 6) * logA;
    default:
      return std::pow(a, 7);
  }
}

// After the phase is averaged over 1 / F (F = infinity: not at all).
double sx(double t, double filter, int alpha) {
  if (std::isinf(filter)) return sw(t, alpha + 2);
  const double h = 1 / filter;
  return filter * filter * (2 * sw(t, alpha) - sw(t - h, alpha) - sw(t + h, alpha));
}

// After the d-th difference: weights (-1)^k C(2d, d + k).
double sz(double t, double filter, int alpha, int d) {
  static constexpr double kWeights[4][4] = {
      {1, 0, 0, 0}, {2, -1, 0, 0}, {6, -4, 1, 0}, {20, -15, 6, -1}};
  double sum = kWeights[d][0] * sx(t, filter, alpha);
  for (int k = 1; k <= d; ++k) {
    sum += kWeights[d][k] * (sx(t - k, filter, alpha) + sx(t + k, filter, alpha));
  }
  return sum;
}

// 1 / EDF = [sz(0)^2 + (1 - J/M) sz(J/S)^2 + 2 sum_{j<J} (1 - j/M) sz(j/S)^2] / (M sz(0)^2).
double inverseEdf(double lags, double terms, double stride, double filter, int alpha, int d) {
  const double atZero = sz(0, filter, alpha, d);
  double sum = atZero * atZero;
  const double last = sz(lags / stride, filter, alpha, d);
  sum += (1 - lags / terms) * last * last;
  for (int j = 1; j < static_cast<int>(lags); ++j) {
    const double value = sz(j / stride, filter, alpha, d);
    sum += 2 * (1 - j / terms) * value * value;
  }
  return sum / (terms * atZero * atZero);
}

// White phase through an unfiltered estimator: terms k m apart share phase points, with
// correlation (-1)^k C(2d, d+k) / C(2d, d); closed form, no sw needed.
double whitePhaseEdf(int d, double terms, double ratio) {
  static constexpr double kWeights[4][4] = {
      {1, 0, 0, 0}, {2, -1, 0, 0}, {6, -4, 1, 0}, {20, -15, 6, -1}};
  double sum = 1;
  for (int k = 1; k <= d && k < ratio; ++k) {
    const double correlation = kWeights[d][k] / kWeights[d][0];
    sum += 2 * (1 - k / ratio) * correlation * correlation;
  }
  return terms / sum;
}

// NIST SP 1065, total variance: edf = b T / tau - c with T the record length, for the frequency
// noises; for the phase noises the total deviation is the overlapping Allan deviation's kin, and
// its EDF is taken from there.
double totalDeviationEdf(int alpha, int factor, std::int64_t sampleCount) {
  struct Coefficients {
    double b;
    double c;
  };
  static constexpr Coefficients kByNoise[] = {{1.50, 0.0}, {1.17, 0.22}, {0.93, 0.36}};
  if (alpha > 0) return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true);
  if (alpha < -2 || sampleCount < 2) return kNoEdf;
  const Coefficients& coefficients = kByNoise[-alpha];
  const double recordOverTau = static_cast<double>(sampleCount - 1) / factor;
  return coefficients.b * recordOverTau - coefficients.c;
}

}  // namespace

double greenhallRileyEdf(int alpha, int d, int factor, std::int64_t sampleCount, bool modified,
                         bool overlapping) {
  if (alpha + 2 * d <= 1 || alpha > 2 || factor < 1) return kNoEdf;
  const double m = factor;
  const double filterLength = (modified ? m : 1) + m * d;
  const double n = static_cast<double>(sampleCount);
  if (n < filterLength) return kNoEdf;
  const double stride = overlapping ? m : 1;
  const double terms = 1 + std::floor(stride * (n - filterLength) / m);
  if (!modified && alpha == 2) return whitePhaseEdf(d, terms, terms / stride);

  // Below flicker phase the unmodified variances hardly depend on the phase filter, so a long
  // filter is taken as none.
  double filter = modified ? 1 : m;
  if (!modified && alpha <= 0 && m * (d + 1) > kMostLags) filter = kUnfiltered;

  const double lags = std::min(terms, (d + 1) * stride);
  if (lags <= kMostLags) return 1 / inverseEdf(lags, terms, stride, filter, alpha, d);
  // The sum over many lags is an integral: take it on a grid of kMostLags points.
  const double gridStride = kMostLags * stride / lags;
  return 1 / inverseEdf(kMostLags, terms * gridStride / stride, gridStride, filter, alpha, d);
}

double gapFreeTerms(Statistic statistic, int factor, std::int64_t sampleCount) {
  const std::int64_t m = factor;
  switch (statistic) {
    case Statistic::Adev:
      return static_cast<double>(sampleCount / m - 2);
    case Statistic::Oadev:
      return static_cast<double>(sampleCount - 2 * m);
    case Statistic::StandardAdev:
      return static_cast<double>((sampleCount - 1) / m - 1);
    case Statistic::Totdev:
      return static_cast<double>(sampleCount - 2);
    case Statistic::Mdev:
    case Statistic::Tdev:
      return static_cast<double>(sampleCount - 3 * m + 1);
    case Statistic::Hdev:
      return static_cast<double>((sampleCount - 1) / m - 2);
    case Statistic::Ohdev:
      return static_cast<double>(sampleCount - 3 * m);
    default:
      return longTauGapFreeTerms(statistic, factor, sampleCount);
  }
}

double equivalentDegreesOfFreedom(Statistic statistic, int alpha, int factor,
                                  std::int64_t sampleCount) {
  switch (statistic) {
    case Statistic::Adev:
      // The console's own deviation uses floor(N / m) decimated points.
      return greenhallRileyEdf(alpha, 2, factor, sampleCount / factor * factor, false, false);
    case Statistic::Oadev:
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true);
    case Statistic::StandardAdev:
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, false);
    case Statistic::Mdev:
    case Statistic::Tdev:
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, true, true);
    case Statistic::Hdev:
      return greenhallRileyEdf(alpha, 3, factor, sampleCount, false, false);
    case Statistic::Ohdev:
      return greenhallRileyEdf(alpha, 3, factor, sampleCount, false, true);
    case Statistic::Totdev:
      return totalDeviationEdf(alpha, factor, sampleCount);
    default:
      return longTauDegreesOfFreedom(statistic, alpha, factor, sampleCount);
  }
}

}  // namespace tessarin::stability
