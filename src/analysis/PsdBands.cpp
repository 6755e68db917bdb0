#include "analysis/PsdBands.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "stability/Confidence.h"

namespace tessarin::analysis {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

SpectrumPoint pointOf(SpectralQuantity quantity, double frequencySum, double valueSum,
                      std::int64_t bins, double edf, std::optional<double> confidence) {
  const auto b = static_cast<double>(bins);
  SpectrumPoint point{frequencySum / b,
                      valueSum / b,
                      bins,
                      edf,
                      std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::quiet_NaN()};
  if (confidence) {
    // A density is a variance: its interval is that of a deviation, squared.
    const stability::ConfidenceInterval interval =
        stability::confidenceInterval(std::sqrt(point.value), edf, *confidence);
    point.low = interval.low * interval.low;
    point.high = interval.high * interval.high;
  }
  if (quantity == SpectralQuantity::PhaseNoise) {
    // No power (a series without noise) has no level in dB: no figure rather than -inf.
    const auto decibels = [](double value) {
      return value > 0 ? 10 * std::log10(value) : std::numeric_limits<double>::quiet_NaN();
    };
    point.value = decibels(point.value);
    point.low = decibels(point.low);
    point.high = decibels(point.high);
  }
  return point;
}

}  // namespace

// The small term keeps a bin on a band's edge in the band it starts, whatever the logarithm's last
// bit says.
std::int64_t bandOf(double frequency, int bandsPerDecade) {
  return static_cast<std::int64_t>(std::floor(bandsPerDecade * std::log10(frequency) + 1e-9));
}

double bandDegreesOfFreedom(const WelchSpectrum& spectrum, std::int64_t bins) {
  const auto b = static_cast<double>(bins);
  double shared = 1;
  for (std::size_t j = 1;
       j <= spectrum.binCorrelation.size() && static_cast<std::int64_t>(j) < bins; ++j)
    shared += 2 * (1 - static_cast<double>(j) / b) * spectrum.binCorrelation[j - 1];
  return b * spectrum.binDegreesOfFreedom / shared;
}

std::string_view nameOf(SpectralQuantity quantity) {
  switch (quantity) {
    case SpectralQuantity::PhaseTime:
      return "sx";
    case SpectralQuantity::Frequency:
      return "sy";
    case SpectralQuantity::PhaseAngle:
      return "sphi";
    default:
      return "lf";
  }
}

std::optional<SpectralQuantity> spectralQuantityNamed(std::string_view name) {
  for (const SpectralQuantity quantity :
       {SpectralQuantity::PhaseTime, SpectralQuantity::Frequency, SpectralQuantity::PhaseAngle,
        SpectralQuantity::PhaseNoise})
    if (nameOf(quantity) == name) return quantity;
  return std::nullopt;
}

bool needsNominal(SpectralQuantity quantity) {
  return quantity == SpectralQuantity::PhaseAngle || quantity == SpectralQuantity::PhaseNoise;
}

double fromPhaseDensity(SpectralQuantity quantity, double frequency, double phaseDensity,
                        double nominalHz) {
  switch (quantity) {
    case SpectralQuantity::PhaseTime:
      return phaseDensity;
    case SpectralQuantity::Frequency:
      return kTwoPi * frequency * kTwoPi * frequency * phaseDensity;
    case SpectralQuantity::PhaseAngle:
      return kTwoPi * nominalHz * kTwoPi * nominalHz * phaseDensity;
    default:
      return kTwoPi * nominalHz * kTwoPi * nominalHz * phaseDensity / 2;
  }
}

std::vector<SpectrumPoint> spectrumBands(const WelchSpectrum& spectrum, SpectralQuantity quantity,
                                         double nominalHz, int bandsPerDecade,
                                         std::optional<double> confidence) {
  std::vector<SpectrumPoint> points;
  const std::vector<double>& f = spectrum.frequencies;
  for (std::size_t k = 0; k < f.size();) {
    const std::int64_t band = bandsPerDecade > 0 ? bandOf(f[k], bandsPerDecade) : 0;
    double frequencySum = 0;
    double valueSum = 0;
    std::int64_t bins = 0;
    do {
      frequencySum += f[k];
      valueSum += fromPhaseDensity(quantity, f[k], spectrum.phaseDensity[k], nominalHz);
      ++bins;
      ++k;
    } while (bandsPerDecade > 0 && k < f.size() && bandOf(f[k], bandsPerDecade) == band);
    points.push_back(pointOf(quantity, frequencySum, valueSum, bins,
                             bandDegreesOfFreedom(spectrum, bins), confidence));
  }
  return points;
}

}  // namespace tessarin::analysis
