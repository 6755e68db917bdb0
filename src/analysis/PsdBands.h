#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/WelchPsd.h"

namespace tessarin::analysis {

// What a spectrum shows, one-sided as NIST SP 1065 and IEEE 1139 have it.
enum class SpectralQuantity {
  PhaseTime,   // sx: S_x(f), s^2/Hz
  Frequency,   // sy: S_y(f) = (2 pi f)^2 S_x(f), 1/Hz
  PhaseAngle,  // sphi: S_phi(f) = (2 pi nu0)^2 S_x(f), rad^2/Hz at the DUT frequency nu0
  PhaseNoise,  // lf: L(f) = 10 log10(S_phi(f) / 2), dBc/Hz
};

std::string_view nameOf(SpectralQuantity quantity);
std::optional<SpectralQuantity> spectralQuantityNamed(std::string_view name);

// S_phi and L(f) are at the DUT's frequency: they need it.
bool needsNominal(SpectralQuantity quantity);

// More bands than this per decade hold a raw bin or none each: the raw bins say so.
constexpr int kMostBandsPerDecade = 1000;

// One value of a spectrum: a raw bin, or the mean of the raw bins of a band.
struct SpectrumPoint {
  double frequency = 0;  // Hz: the bin's, or the mean of the band's bins
  double value = 0;      // in the quantity's unit (dBc/Hz for L(f))
  std::int64_t bins = 0;
  double degreesOfFreedom = 0;
  double low = 0;  // the chi-squared interval, NaN where none is asked for
  double high = 0;
};

// The spectrum in `quantity` (nominalHz, the DUT frequency, for S_phi and L(f)): every raw bin
// when bandsPerDecade is 0, else the mean of the raw bins in each band of 1/bandsPerDecade of a
// decade, bands starting at the powers of ten (bands without a bin left out). Each value's
// interval for `confidence` (none when nullopt) is chi-squared with the bins' degrees of freedom,
// B nu / (1 + 2 sum_j (1 - j/B) r_j) for B bins of nu each whose neighbours j apart correlate
// by r_j; L(f)'s in dB as well (NaN where there is no power).
std::vector<SpectrumPoint> spectrumBands(const WelchSpectrum& spectrum, SpectralQuantity quantity,
                                         double nominalHz, int bandsPerDecade,
                                         std::optional<double> confidence);

// The band of 1/bandsPerDecade of a decade that holds `frequency`: band k from 10^(k/n) Hz on.
std::int64_t bandOf(double frequency, int bandsPerDecade);

// The degrees of freedom of the mean of `bins` adjacent raw bins of the spectrum.
double bandDegreesOfFreedom(const WelchSpectrum& spectrum, std::int64_t bins);

// S_x at f in `quantity`, linear (S_phi / 2 for L(f), before the logarithm).
double fromPhaseDensity(SpectralQuantity quantity, double frequency, double phaseDensity,
                        double nominalHz);

}  // namespace tessarin::analysis
