#include "analysis/WelchPsd.h"

#include <fftw3.h>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace tessarin::analysis {

namespace {

// The segments a spectrum rests on without gaps: at least this many for the default length.
constexpr std::int64_t kDefaultAverages = 8;
// The longest default segment. Beyond it the transforms leave the processor's caches and the
// spectrum of 1e7 points costs more than reading them (2^21 points: 0.5 s and 90 MB more than
// 2^18); --segment reaches lower frequencies still.
constexpr std::int64_t kLongestDefaultSegment = std::int64_t{1} << 18;

struct FftwFree {
  void operator()(void* block) const { fftw_free(block); }
};
template <class T>
using FftwBlock = std::unique_ptr<T[], FftwFree>;

// The transform plans made so far, one per segment length, given back to FFTW when the program
// ends, with what its planner kept.
struct Plans {
  std::mutex planning;
  std::map<int, fftw_plan> byLength;

  ~Plans() {
    for (const auto& [length, plan] : byLength) fftw_destroy_plan(plan);
    fftw_cleanup();
  }
};

// One transform plan per segment length, made once and kept for the program's life: FFTW's
// planner is not safe to call from two threads at once, executing a plan on new arrays is.
fftw_plan planFor(int length) {
  static Plans made;
  const std::lock_guard<std::mutex> lock(made.planning);
  auto& plans = made.byLength;
  if (const auto found = plans.find(length); found != plans.end()) return found->second;
  // Planned on blocks from fftw_malloc, so that every later block from it has the same alignment.
  const FftwBlock<double> in(fftw_alloc_real(static_cast<std::size_t>(length)));
  const FftwBlock<fftw_complex> out(fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1)));
  const fftw_plan plan = fftw_plan_dft_r2c_1d(length, in.get(), out.get(), FFTW_ESTIMATE);
  plans.emplace(length, plan);
  return plan;
}

std::vector<double> taper(int length, SpectralWindow window) {
  std::vector<double> w(static_cast<std::size_t>(length), 1.0);
  if (window == SpectralWindow::Hann)
    for (int n = 0; n < length; ++n)
      w[static_cast<std::size_t>(n)] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / length);
  return w;
}

// Removes the least-squares line from the segment. The first point is taken off first, so that a
// phase far from zero loses no digits in the sums.
void removeLine(double* x, int length) {
  const double first = x[0];
  const double middle = (length - 1) / 2.0;
  double sum = 0;
  double weighted = 0;
  double spread = 0;
  for (int n = 0; n < length; ++n) {
    x[n] -= first;
    sum += x[n];
    weighted += (n - middle) * x[n];
    spread += (n - middle) * (n - middle);
  }
  const double mean = sum / length;
  const double slope = weighted / spread;
  for (int n = 0; n < length; ++n) x[n] -= mean + slope * (n - middle);
}

bool holdsGap(const double* x, int length) {
  for (int n = 0; n < length; ++n)
    if (std::isnan(x[n])) return true;
  return false;
}

}  // namespace

int defaultSegment(std::int64_t points) {
  // K = 2 N / L - 1 segments of half overlap: at least kDefaultAverages while L <= 2 N / (K + 1).
  const std::int64_t longest = 2 * points / (kDefaultAverages + 1);
  std::int64_t segment = kLeastSegment;
  while (2 * segment <= longest && 2 * segment <= kLongestDefaultSegment) segment *= 2;
  return static_cast<int>(segment);
}

platform::Result<WelchSpectrum> welchSpectrum(std::span<const double> phase, double tau0,
                                              int segment, SpectralWindow window) {
  using Made = platform::Result<WelchSpectrum>;
  const auto points = static_cast<std::int64_t>(phase.size());
  if (segment < kLeastSegment)
    return Made::failure(QString("a segment of %1 points is too short (at least %2)")
                             .arg(segment)
                             .arg(kLeastSegment));
  if (segment > points)
    return Made::failure(QString("a segment of %1 points is longer than the series (%2 phase "
                                 "points)")
                             .arg(segment)
                             .arg(points));
  const int step = segment - segment / 2;
  const std::int64_t segments = (points - segment) / step + 1;
  if (segments < 2)
    return Made::failure(QString("the series (%1 phase points) is shorter than two segments of %2 "
                                 "points that overlap by half (%3 points)")
                             .arg(points)
                             .arg(segment)
                             .arg(segment + step));

  WelchSpectrum spectrum;
  spectrum.tau0 = tau0;
  spectrum.segment = segment;
  spectrum.window = window;
  const std::vector<double> w = taper(segment, window);
  double power = 0;
  for (const double value : w) power += value * value;
  const int bins = (segment - 1) / 2;  // below the Nyquist frequency, 0 left out
  std::vector<double> sum(static_cast<std::size_t>(bins), 0.0);
  const FftwBlock<double> in(fftw_alloc_real(static_cast<std::size_t>(segment)));
  const FftwBlock<fftw_complex> out(fftw_alloc_complex(static_cast<std::size_t>(segment / 2 + 1)));
  const fftw_plan plan = planFor(segment);
  std::int64_t adjacentPairs = 0;
  std::int64_t lastKept = -2;
  for (std::int64_t s = 0; s < segments; ++s) {
    const double* start = phase.data() + s * step;
    if (holdsGap(start, segment)) {
      ++spectrum.leftOut;
      continue;
    }
    adjacentPairs += lastKept == s - 1;
    lastKept = s;
    ++spectrum.averages;
    double* x = in.get();
    std::copy(start, start + segment, x);
    removeLine(x, segment);
    for (int n = 0; n < segment; ++n) x[n] *= w[static_cast<std::size_t>(n)];
    fftw_execute_dft_r2c(plan, x, out.get());
    for (int k = 1; k <= bins; ++k) {
      const fftw_complex& c = out[static_cast<std::size_t>(k)];
      sum[static_cast<std::size_t>(k - 1)] += c[0] * c[0] + c[1] * c[1];
    }
  }
  if (spectrum.averages < 2)
    return Made::failure(QString("fewer than two segments of %1 points are free of gaps (%2 of %3 "
                                 "hold one)")
                             .arg(segment)
                             .arg(spectrum.leftOut)
                             .arg(segments));

  const double scale = 2 * tau0 / power / static_cast<double>(spectrum.averages);
  spectrum.frequencies.resize(sum.size());
  spectrum.phaseDensity.resize(sum.size());
  for (std::size_t k = 0; k < sum.size(); ++k) {
    spectrum.frequencies[k] = static_cast<double>(k + 1) / (segment * tau0);
    spectrum.phaseDensity[k] = sum[k] * scale;
  }
  // Overlapping neighbours share data: their periodograms correlate with the square of the
  // taper's overlap correlation (1/6 for Hann at half overlap, 1/2 without a taper).
  double overlap = 0;
  for (int n = 0; n + step < segment; ++n)
    overlap += w[static_cast<std::size_t>(n)] * w[static_cast<std::size_t>(n + step)];
  overlap /= power;
  const auto k = static_cast<double>(spectrum.averages);
  spectrum.binDegreesOfFreedom =
      2 * k * k / (k + 2 * static_cast<double>(adjacentPairs) * overlap * overlap);
  // Adjacent bins of a tapered segment share leakage: the squared transform of w^2 at j bins over
  // that at 0, for Hann (w^2 = 3/8 - cos/2 + cos2/8) (2/3)^2 and (1/6)^2.
  if (window == SpectralWindow::Hann) spectrum.binCorrelation = {4.0 / 9, 1.0 / 36};
  return spectrum;
}

}  // namespace tessarin::analysis
