#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace tessarin::sim {

// The five power-law noises of an oscillator's time error, named by what is white or flicker.
enum class NoiseType {
  WhitePhase,
  FlickerPhase,
  WhiteFrequency,
  FlickerFrequency,
  RandomWalkFrequency
};

// One noise and its level: the Allan deviation this noise alone gives at an averaging time of 1 s.
// Where 1 s is not a whole number of sample intervals the level is carried to the nearest whole
// number of intervals (at least one) by the noise's own power law: tau^-1 for both phase noises,
// tau^-1/2 white frequency, tau^0 flicker frequency, tau^+1/2 random-walk frequency.
struct NoiseLevel {
  NoiseType type;
  double allanDeviationAt1s;
};

// The time error x (seconds) of a simulated oscillator, one value per sample interval tau0, as the
// sum of independent power-law noises. Reproducible: the same levels, tau0 and seed give the same
// series.
//
// White phase: x is white, rms L / sqrt(3) at tau0 = 1 s; sigma_y = L tau^-1 exactly.
// White frequency: x is a random walk (the exact samples of integrated white frequency);
//   sigma_y = L tau^-1/2 exactly.
// Random-walk frequency: the frequency is a Wiener process and x its integral, both sampled exactly
//   (a correlated pair of normal deviates per interval); sigma_y = L tau^+1/2 exactly.
// Flicker phase and flicker frequency: a 1/f spectrum made as the sum of first-order (relaxation)
//   processes whose corner frequencies are spaced two per decade over eight decades (the
//   superposition of Lorentzian spectra of van der Ziel 1950, used as a generator by Corsini and
//   Saletti 1988). For flicker phase the sum is x; for flicker frequency it is the mean frequency
//   over each interval and x is its running sum. Each first-order process starts from its
//   stationary distribution, so there is no warm-up. The level is calibrated exactly: the Allan
//   variance of the sum has a closed form (each relaxation process has autocorrelation a^|k|), and
//   the sum is scaled so that it gives L at 1 s.
//   Usable range: flicker frequency stays within 3 % of L from tau0 to 4e6 tau0; flicker phase
//   follows tau^-1 with the slow logarithmic rise of true flicker phase noise over the same range.
//   Beyond that both turn into white noise of the next steeper kind.
//
// Cost: one normal deviate per white or random-walk noise per sample (two for random walk), 17 per
// flicker noise.
class PowerLawNoise {
 public:
  PowerLawNoise(std::vector<NoiseLevel> levels, double tau0, std::uint64_t seed);

  // The time error x, in seconds, of the next sample.
  double next();

 private:
  struct Relaxation {
    double pole;   // a = exp(-w): the fraction of the state kept from one interval to the next
    double drive;  // sqrt(1 - a^2): keeps the state's variance at 1
    double state;
  };
  struct FlickerBank {
    std::vector<Relaxation> processes;
    double scale = 0;  // turns the unit-variance sum into seconds (phase) or a fractional frequency
  };

  FlickerBank makeBank(double highestRate, bool integrated, double level);
  double sum(FlickerBank& bank);
  double gaussian() { return normal_(random_); }

  double tau0_;
  std::mt19937_64 random_;
  std::normal_distribution<double> normal_{0.0, 1.0};

  double whitePhaseRms_ = 0;        // seconds per sample
  double whiteFrequencyStep_ = 0;   // rms step of x per interval, seconds
  double randomWalkDiffusion_ = 0;  // sqrt(D tau0): D the diffusion rate of the frequency
  double randomWalkFrequency_ = 0;
  FlickerBank flickerPhase_;
  FlickerBank flickerFrequency_;
  double walkedPhase_ = 0;  // integral of the white, flicker and random-walk frequencies
};

}  // namespace tessarin::sim
