#pragma once

#include <cstdint>
#include <random>

// The time error x of the simulated device under test, drawn once per sample: white phase noise
// (x gets a fresh normal deviate of the given RMS) on top of white frequency noise (x integrates a
// fresh fractional frequency of the given RMS over each sample interval, so the Allan deviation at
// the sample interval equals that RMS).
class PhaseNoise {
 public:
  PhaseNoise(double whitePhaseSeconds, double whiteFrequency, std::uint64_t seed);

  // x, in seconds, at a sample taken `interval` seconds after the previous one.
  double next(double interval);

 private:
  double whitePhaseSeconds_;
  double whiteFrequency_;
  std::mt19937_64 random_;
  std::normal_distribution<double> normal_{0.0, 1.0};
  double integratedFrequency_ = 0.0;
};
