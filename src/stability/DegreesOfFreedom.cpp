#include "stability/DegreesOfFreedom.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <map>
#include <tuple>

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

// Greenhall and Riley's basic sum: 1 / EDF = [sz(0)^2 + (1 - J/M) sz(J/S)^2
// + 2 sum_{0<j<J} (1 - j/M) sz(j/S)^2] / (M sz(0)^2), with sz(0)^2 given apart.
double inverseEdf(double lags, double terms, double stride, double filter, int alpha, int d,
                  double atZeroSquared) {
  const double atZero = sz(0, filter, alpha, d);
  double sum = atZero * atZero;
  const double last = sz(lags / stride, filter, alpha, d);
  sum += (1 - lags / terms) * last * last;
  for (int j = 1; j < static_cast<int>(lags); ++j) {
    const double value = sz(j / stride, filter, alpha, d);
    sum += 2 * (1 - j / terms) * value * value;
  }
  return sum / (terms * atZeroSquared);
}

double inverseEdf(double lags, double terms, double stride, double filter, int alpha, int d) {
  const double atZero = sz(0, filter, alpha, d);
  return inverseEdf(lags, terms, stride, filter, alpha, d, atZero * atZero);
}

// White phase through an unfiltered estimator: terms k m apart share phase points, with
// correlation (-1)^k C(2d, d+k) / C(2d, d); closed form, no sw needed. For r > d it is the
// algorithm's a0 - a1 / r with a0 = C(4d, 2d) / C(2d, d)^2 and a1 = d / 2.
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

// The algorithm's tables for many overlapping terms (r = M / S > d + 1): 1 / EDF = (a0 - a1 / r) /
// r. Rows alpha = 2 ... -4, columns d = 1, 2, 3; a zero a0 where the variance does not converge.
struct Asymptote {
  double a0;
  double a1;
};
// Table 1: the modified variances (F = 1).
constexpr Asymptote kModifiedAsymptotes[7][3] = {
    {{2.0 / 3, 1.0 / 3}, {7.0 / 9, 1.0 / 2}, {22.0 / 25, 2.0 / 3}},
    {{0.840, 0.345}, {0.997, 0.616}, {1.141, 0.843}},
    {{1.079, 0.368}, {1.033, 0.607}, {1.184, 0.848}},
    {{0, 0}, {1.048, 0.534}, {1.180, 0.816}},
    {{0, 0}, {1.302, 0.535}, {1.175, 0.777}},
    {{0, 0}, {0, 0}, {1.194, 0.703}},
    {{0, 0}, {0, 0}, {1.489, 0.702}}};
// Table 2: the unmodified variances (F = m, taken as infinite below flicker phase).
constexpr Asymptote kUnmodifiedAsymptotes[7][3] = {
    {{3.0 / 2, 1.0 / 2}, {35.0 / 18, 1.0}, {231.0 / 100, 3.0 / 2}},
    {{78.6, 25.2}, {790.0, 410.0}, {9950.0, 6520.0}},
    {{2.0 / 3, 1.0 / 6}, {2.0 / 3, 1.0 / 3}, {7.0 / 9, 1.0 / 2}},
    {{0, 0}, {0.852, 0.375}, {0.997, 0.617}},
    {{0, 0}, {1.079, 0.368}, {1.033, 0.607}},
    {{0, 0}, {0, 0}, {1.053, 0.553}},
    {{0, 0}, {0, 0}, {1.302, 0.535}}};
// Table 3: flicker phase through an unmodified variance, sz(0) ~ b0 + b1 ln m for large m.
constexpr Asymptote kFlickerPhaseAtZero[3] = {{6.0, 4.0}, {15.23, 12.0}, {47.8, 40.0}};

double asymptoticEdf(const Asymptote (&table)[7][3], int alpha, int d, double ratio) {
  const Asymptote& entry = table[2 - alpha][d - 1];
  if (entry.a0 == 0) return kNoEdf;
  return ratio / (entry.a0 - entry.a1 / ratio);
}

// NIST SP 1065, total variance: edf = b T / tau - c with T the record length, for the frequency
// noises; for the phase noises the total deviation is the overlapping Allan deviation's kin, and
// its EDF is taken from there. By coverage, both are bounded by what the reflected series can
// hold: at short factors the total deviation has little more than the overlapping Allan
// deviation's terms (at m = 1 it is that deviation), so it has at most that EDF scaled to its
// N - 2 terms; under the phase noises every reflected point repeats x[0] or x[N-1] twice over, and
// the EDF falls as 1 / EDF = 1 / EDF_scaled + 1 / ((N / m)^2 + 4 N / m), a fit to simulated white
// and flicker phase noise at N = 1000 and 100000 within 10 %.
double totalDeviationEdf(int alpha, int factor, std::int64_t sampleCount, EdfMethod method) {
  struct Coefficients {
    double b;
    double c;
  };
  static constexpr Coefficients kByNoise[] = {{1.50, 0.0}, {1.17, 0.22}, {0.93, 0.36}};
  if (alpha < -2 || alpha > 2 || sampleCount < 3) return kNoEdf;
  const double oadevEdf = greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true, method);
  const double n = static_cast<double>(sampleCount);
  const double recordOverTau = (n - 1) / factor;
  const double scaled = oadevEdf * (n - 2) / (n - 2.0 * factor);
  if (alpha > 0) {
    if (method == EdfMethod::Reference) return oadevEdf;
    const double reflected = (n / factor) * (n / factor) + 4 * n / factor;
    return 1 / (1 / scaled + 1 / reflected);
  }
  const Coefficients& coefficients = kByNoise[-alpha];
  const double tabulated = coefficients.b * recordOverTau - coefficients.c;
  return method == EdfMethod::Reference ? tabulated : std::min(tabulated, scaled);
}

// The four cases of the algorithm, by the filter F (1 modified, m unmodified) and alpha. Each sums
// over the J = min(M, (d + 1) S) lags at which terms correlate while J <= 100; beyond, with many
// terms per lag range (r > d + 1) it takes the tabulated asymptote, else the sum on a grid of 100
// lags with the stride and filter scaled to it.
double edfBySum(int alpha, int d, int factor, std::int64_t sampleCount, bool modified,
                bool overlapping, EdfMethod method) {
  if (alpha + 2 * d <= 1 || alpha > 2 || alpha < -4 || d < 1 || d > 3 || factor < 1) return kNoEdf;
  const double m = factor;
  const double filterLength = (modified ? m : 1) + m * d;
  const double n = static_cast<double>(sampleCount);
  if (n < filterLength) return kNoEdf;
  const double stride = overlapping ? m : 1;
  const double terms = 1 + std::floor(stride * (n - filterLength) / m);
  const double lags = std::min(terms, (d + 1) * stride);
  const double ratio = terms / stride;
  const bool manyLags = lags > kMostLags;
  const bool asymptotic = manyLags && ratio > d + 1;
  const double gridStride = kMostLags / ratio;

  if (modified) {
    if (asymptotic) return asymptoticEdf(kModifiedAsymptotes, alpha, d, ratio);
    if (manyLags) return 1 / inverseEdf(kMostLags, kMostLags, gridStride, 1, alpha, d);
    return 1 / inverseEdf(lags, terms, stride, 1, alpha, d);
  }
  if (alpha == 2) return whitePhaseEdf(d, terms, ratio);
  if (alpha == 1) {
    // Flicker phase depends on the phase filter at every m; for large m its sz(0) grows as ln F.
    // Sampled flicker phase with its bandwidth up to the Nyquist frequency has the EDF of the phase
    // averaged over half a sample interval (F = 2 m: within 3 % of simulated series from m = 4 to
    // 16384), the published method that of an average over a whole one.
    const double filterScale = method == EdfMethod::Coverage ? 2 : 1;
    if (!manyLags) return 1 / inverseEdf(lags, terms, stride, filterScale * m, alpha, d);
    const Asymptote& atZero = kFlickerPhaseAtZero[d - 1];
    const double atZeroSquared = std::pow(atZero.a0 + atZero.a1 * std::log(filterScale * m), 2);
    if (asymptotic) {
      const Asymptote& entry = kUnmodifiedAsymptotes[1][d - 1];
      return atZeroSquared * ratio / (entry.a0 - entry.a1 / ratio);
    }
    return 1 / inverseEdf(kMostLags, kMostLags, gridStride, filterScale * gridStride, alpha, d,
                          atZeroSquared);
  }
  // The frequency noises hardly depend on the phase filter once it is long, so from
  // m (d + 1) > 100 on it is taken as none; sampled phase never has one.
  if (asymptotic) return asymptoticEdf(kUnmodifiedAsymptotes, alpha, d, ratio);
  if (manyLags) return 1 / inverseEdf(kMostLags, kMostLags, gridStride, kUnfiltered, alpha, d);
  const bool averaged = method == EdfMethod::Reference && m * (d + 1) <= kMostLags;
  return 1 / inverseEdf(lags, terms, stride, averaged ? m : kUnfiltered, alpha, d);
}

}  // namespace

// A sum of up to a hundred lags of logarithms and powers: microseconds for one EDF, and the same
// few asked for again and again (every window of a dynamic analysis, every series of one length,
// has the same ones). So they are remembered, a thread's own, and forgotten all at once past
// kRememberedEdfs; remembered or summed, they are the same bits.
double greenhallRileyEdf(int alpha, int d, int factor, std::int64_t sampleCount, bool modified,
                         bool overlapping, EdfMethod method) {
  constexpr std::size_t kRememberedEdfs = 4096;
  using Key = std::tuple<int, int, int, std::int64_t, bool, bool, EdfMethod>;
  thread_local std::map<Key, double> remembered;
  const Key key(alpha, d, factor, sampleCount, modified, overlapping, method);
  if (const auto found = remembered.find(key); found != remembered.end()) return found->second;
  const double edf = edfBySum(alpha, d, factor, sampleCount, modified, overlapping, method);
  if (remembered.size() >= kRememberedEdfs) remembered.clear();
  remembered.emplace(key, edf);
  return edf;
}

double modifiedToAllanRatio(int alpha, int factor) {
  return sz(0, 1, alpha, 2) / sz(0, factor, alpha, 2);
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
                                  std::int64_t sampleCount, EdfMethod method) {
  switch (statistic) {
    case Statistic::Adev:
      // The console's own deviation uses floor(N / m) decimated points.
      return greenhallRileyEdf(alpha, 2, factor, sampleCount / factor * factor, false, false,
                               method);
    case Statistic::Oadev:
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true, method);
    case Statistic::StandardAdev:
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, false, method);
    case Statistic::Mdev:
    case Statistic::Tdev:
      // At m = 1 there is nothing to average: the modified deviation is the overlapping one, and
      // sampled phase has that EDF, not the one of a phase averaged over tau0.
      if (method == EdfMethod::Coverage && factor == 1)
        return greenhallRileyEdf(alpha, 2, factor, sampleCount, false, true, method);
      return greenhallRileyEdf(alpha, 2, factor, sampleCount, true, true, method);
    case Statistic::Hdev:
      return greenhallRileyEdf(alpha, 3, factor, sampleCount, false, false, method);
    case Statistic::Ohdev:
      return greenhallRileyEdf(alpha, 3, factor, sampleCount, false, true, method);
    case Statistic::Totdev:
      return totalDeviationEdf(alpha, factor, sampleCount, method);
    default:
      return longTauDegreesOfFreedom(statistic, alpha, factor, sampleCount, method);
  }
}

}  // namespace tessarin::stability
