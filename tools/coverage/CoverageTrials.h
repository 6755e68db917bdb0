#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/PowerLawNoise.h"
#include "stability/Confidence.h"

namespace tessarin::coverage {

struct CoverageSettings {
  int seriesCount = 1000;
  int threads = 1;
  std::uint64_t firstSeed = 1;
  stability::AnalysisMethod method;
};

// How one statistic's intervals at one factor fared over the series.
struct CoverageCell {
  stability::Statistic statistic{};
  int factor = 0;
  double truth = 0;
  bool truthFromLevel = false;  // else the rms of the estimates over the series
  double meanOverTruth = 0;     // the rms estimate over the truth: 1 where the truth is right
  // The degrees of freedom the estimates show, 2 E[v]^2 / var(v) of the variances v, and those the
  // analyser gives for the simulated noise type.
  double measuredEdf = 0;
  double knownAlphaEdf = 0;
  int trials = 0;
  int insideOneSigma = 0;  // the 68.3 % interval held the truth
  int inside95 = 0;
  int alphaFound = 0;  // the identified noise type was the simulated one
  // The intervals with the simulated noise type given instead of the identified one: what the
  // degrees of freedom achieve by themselves.
  int insideOneSigmaKnownAlpha = 0;
  int inside95KnownAlpha = 0;
};

struct CoverageRun {
  sim::NoiseType noise{};
  int length = 0;
  std::vector<CoverageCell> cells;
};

// Simulates `seriesCount` series of `length` points of one noise (seeds firstSeed, firstSeed + 1,
// ...) and analyses each at its octave factors with at least ten terms. The series are shared out
// over `threads` threads; the counts do not depend on how.
CoverageRun measureCoverage(sim::NoiseType noise, int length,
                            std::span<const stability::Statistic> statistics,
                            const CoverageSettings& settings);

}  // namespace tessarin::coverage
