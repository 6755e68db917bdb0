#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Result.h"

namespace tessarin::analysis {

// The taper each segment is multiplied by before its transform.
enum class SpectralWindow {
  // The periodic Hann window, w[n] = 0.5 - 0.5 cos(2 pi n / L), n = 0 ... L-1, as the usual
  // signal-processing libraries take it for spectra.
  Hann,
  // No taper: least variance, most leakage.
  Rectangular,
};

// The shortest segment a spectrum is made of.
constexpr int kLeastSegment = 16;

// Welch's estimate of the one-sided power spectral density of the phase, S_x(f) in s^2/Hz: the
// series cut into segments of `segment` points that overlap by half (a new one every
// segment - segment / 2 points), a least-squares line removed from each, each tapered and
// transformed, and the squared magnitudes averaged, scaled to a density (2 tau0 / sum w^2, the
// factor 2 for the one side). A segment that holds a gap (NaN) is left out and counted.
struct WelchSpectrum {
  double tau0 = 0;
  int segment = 0;
  SpectralWindow window = SpectralWindow::Hann;
  std::int64_t averages = 0;  // the segments averaged
  std::int64_t leftOut = 0;   // the segments left out for a gap
  // The raw bins: f_k = k / (segment tau0) for k = 1 ... every bin below the Nyquist frequency
  // 1 / (2 tau0), 0 and the Nyquist bin itself left out.
  std::vector<double> frequencies;
  std::vector<double> phaseDensity;  // S_x(f_k), s^2/Hz
  // The equivalent degrees of freedom of one raw bin: 2 per segment, less for the correlation of
  // overlapping segments (Percival and Walden: nu = 2 K^2 / sum over segment pairs of the squared
  // overlap correlation, 36 K^2 / (19 K - 1) for Hann with half overlap and no gap).
  double binDegreesOfFreedom = 0;
  // The squared correlation of two raw bins j = 1, 2, ... apart (4/9, 1/36, 0 ... for Hann; none
  // for no taper), which a band of adjacent bins loses degrees of freedom to.
  std::vector<double> binCorrelation;
};

// The segment length taken when none is asked for: the longest power of two up to 2^18 that still
// gives at least 8 averages without gaps (kLeastSegment at least).
int defaultSegment(std::int64_t points);

// Welch's spectrum of the phase series in seconds, sampled every tau0 seconds, NaN for a gap.
// Fails, with one line for the operator, when the segment is shorter than kLeastSegment or longer
// than the series, when the series holds fewer than two segments, or when fewer than two
// segments are left without a gap. The transform's plans are made once per segment length, under
// a lock, and kept: spectra on several threads at once are safe.
platform::Result<WelchSpectrum> welchSpectrum(std::span<const double> phase, double tau0,
                                              int segment, SpectralWindow window);

}  // namespace tessarin::analysis
