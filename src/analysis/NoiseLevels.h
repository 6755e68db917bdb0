#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/SeriesAnalysis.h"
#include "analysis/WelchPsd.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {

// The power-law levels h_alpha of S_y(f) = sum h_alpha f^alpha, alpha = 2 (white PM), 1 (flicker
// PM), 0 (white FM), -1 (flicker FM), -2 (random-walk FM), with the high-frequency cut-off
// f_h = 1 / (2 tau0) of a phase sampled every tau0.

// NIST SP 1065's sigma_y^2(tau) per unit h_alpha: the Allan variance's 3 f_h / (4 pi^2 tau^2),
// (1.038 + 3 ln(2 pi f_h tau)) / (4 pi^2 tau^2), 1 / (2 tau), 2 ln 2, 2 pi^2 tau / 3; the modified
// Allan variance's 3 / (8 pi^2 tau^3), 3.37 / (4 pi^2 tau^2), 1 / (4 tau), 27 ln 2 / 20,
// 11 pi^2 tau / 20. NaN for another alpha.
double allanVariancePerLevel(int alpha, double tau, double tau0);
double modifiedVariancePerLevel(int alpha, double tau, double tau0);

// The S_y(f) = (2 pi f)^2 S_x(f) that a unit level gives in a phase sampled every tau0: f^alpha
// for the phase noises, which the measurement's own bandwidth ends at f_h; for the frequency
// noises, whose phase goes on above the Nyquist frequency, f^2 times the sum of the phase
// spectrum folded back from every multiple of the sample rate (for white FM (pi f tau0 /
// sin(pi f tau0))^2, which is 2.47 at the Nyquist frequency).
double sampledFrequencyDensityPerLevel(int alpha, double frequency, double tau0);

// One level, as fitted from one kind of data; h NaN where that noise dominates nowhere
// ("not seen").
struct NoiseLevel {
  int alpha = 0;
  std::string from;  // "psd", or the deviation it was read from: "oadev", "mdev"
  double h = 0;
  double low = 0;  // its chi-squared interval; NaN where not seen or none asked for
  double high = 0;
};

// The five levels from Welch's spectrum. The raw bins from the eighth on (below it the line
// removed and the taper's leakage bias the steep noises) go into bands of a tenth of a decade,
// and S_y = sum h_alpha K_alpha(f) (sampledFrequencyDensityPerLevel) is fitted to them by weighted
// least squares, every level positive, among all subsets of the five noises the one that fits
// best. A noise that outweighs the others together in fewer than three bands is not seen, and the
// rest are fitted again. A level's interval rests on the degrees of freedom of its bands, summed.
std::vector<NoiseLevel> levelsFromSpectrum(const WelchSpectrum& spectrum,
                                           std::optional<double> confidence);

// The five levels from the overlapping and modified Allan deviations of `analysis` at its
// factors (the modified from m = 8 on, where its relations, those of m >> 1, hold), fitted to both
// at once in the same way by SP 1065's relations (the modified deviation tells the phase noises
// apart); a noise outweighing the others at fewer than three taus is not seen. Each level is named
// by the statistic where it outweighs the others most often, and its interval rests on the degrees
// of freedom of its best-determined tau there alone, as the taus share their data.
std::vector<NoiseLevel> levelsFromDeviations(const SeriesAnalysis& analysis,
                                             std::optional<double> confidence);

// The deviation the levels (those seen) predict at tau: adev, console-adev and oadev by the Allan
// relations, mdev by the modified ones, tdev as tau / sqrt(3) times mdev; nullopt for the others
// or with no level seen.
std::optional<double> predictedDeviation(stability::Statistic statistic, double tau, double tau0,
                                         std::span<const NoiseLevel> levels);

}  // namespace tessarin::analysis
