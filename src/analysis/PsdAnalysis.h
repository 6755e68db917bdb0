#pragma once

#include <optional>
#include <span>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "analysis/ConditioningRecord.h"
#include "analysis/NoiseLevels.h"
#include "analysis/PsdBands.h"
#include "analysis/WelchPsd.h"
#include "platform/Result.h"

namespace tessarin::analysis {

// What a spectrum of one phase series is asked to give.
struct SpectrumRequest {
  SpectralQuantity quantity = SpectralQuantity::Frequency;
  std::optional<double> nominalHz;  // the DUT frequency, which S_phi and L(f) are at
  int segment = 0;                  // points per segment; 0 for defaultSegment()
  SpectralWindow window = SpectralWindow::Hann;
  int bandsPerDecade = 10;                   // 0 for the raw bins
  std::optional<double> confidence = 0.683;  // nullopt: the values alone
  // The power-law levels, from the spectrum and from the Allan and modified Allan deviations.
  bool noiseFit = false;
  Preprocessing preprocessing;
};

// What it found.
struct SpectrumAnalysis {
  SpectralQuantity quantity{};
  std::optional<double> nominalHz;
  int bandsPerDecade = 0;
  WelchSpectrum welch;
  std::vector<SpectrumPoint> points;
  // With noiseFit: the five levels from the spectrum, then the five from the deviations.
  std::vector<NoiseLevel> levels;
  ConditioningRecord conditioning;  // what each step of the preprocessing did
};

// The spectrum of the phase series in seconds, sampled every tau0 seconds, NaN for a gap,
// conditioned as the request asks (conditionPhase(): the phase of phase data). Fails, with one line
// for the operator, when S_phi or L(f) have no positive DUT frequency, the conditioning fails or
// welchSpectrum() fails.
platform::Result<SpectrumAnalysis> analyseSpectrum(std::span<const double> phase, double tau0,
                                                   const SpectrumRequest& request);

}  // namespace tessarin::analysis
