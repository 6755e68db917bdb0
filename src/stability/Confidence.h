#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::stability {

// The power-law noise type at an averaging factor, as the exponent alpha of the fractional
// frequency spectrum S_y(f) ~ f^alpha: 2 white phase, 1 flicker phase, 0 white frequency,
// -1 flicker frequency, -2 random-walk frequency; the Hadamard deviations, which see through one
// more difference, also tell -3 (flicker walk) and -4 (random run) frequency.
//
// Found by the lag-1 autocorrelation of every m-th phase point (Riley and Greenhall 2004) while at
// least 30 such points remain; for the modified and time deviations, where that finds a phase
// noise, from the means of successive blocks of m points instead, as those deviations see them.
// Below 30 points by Barnes' B1 ratio of the standard to the Allan variance of the frequency at
// that factor (with at least 10 frequency values), which tells the frequency noises apart but not
// white from flicker phase (it says white phase for both). A point or difference that touches a gap
// (NaN) is left out. nullopt where neither method has enough points.
std::optional<int> identifyNoise(Statistic statistic, std::span<const double> phase, int factor);

// How the intervals are made: the noise type each rests on and its degrees of freedom.
enum class EdfMethod {
  // The one whose intervals hold the true deviation in the stated share of simulated series of
  // every power-law noise (tools/coverage). It differs from the reference in four places:
  //  - the phase samples are readings of the time error at an instant, as a phase comparator or a
  //    time-interval counter takes them: no averaging filter on the phase under the frequency
  //    noises through the unmodified variances;
  //  - from m = 4 on, white and flicker phase noise are told apart by the ratio of the modified to
  //    the Allan variance, which all the data inform, instead of the lag-1 autocorrelation of every
  //    m-th point, which takes flicker for white at long factors;
  //  - with fewer than 30 points at a factor, the type found at the last factor that had enough
  //    for the autocorrelation stands, instead of Barnes' B1 ratio of so few points;
  //  - the total deviation's EDF is bounded at short factors by that of the overlapping Allan
  //    deviation over its terms, and under white phase noise falls as its reflected ends weigh in.
  Coverage,
  // As Greenhall and Riley publish the method and the reference program applies it: the phase
  // averaged over tau0 (their F = m), the lag-1 autocorrelation alone, B1 below 30 points and
  // NIST SP 1065's total-deviation table.
  Reference,
};

// Equivalent degrees of freedom of a deviation at factor m over `sampleCount` phase points for
// noise type alpha: Greenhall and Riley's method for the Allan and Hadamard families, NIST
// SP 1065's b T/tau - c for Totdev (its frequency noises; for the phase noises, the overlapping
// Allan deviation's). NaN where none applies (MTIE, TIE rms, an alpha the statistic cannot see, or
// too few points for one term).
double equivalentDegreesOfFreedom(Statistic statistic, int alpha, int factor,
                                  std::int64_t sampleCount, EdfMethod method);

// The chi-squared interval around a deviation for `confidence` (0.683 for 1 sigma), for a
// non-integer number of degrees of freedom. NaN bounds when edf is not a positive number.
struct ConfidenceInterval {
  double low = 0;
  double high = 0;
};
ConfidenceInterval confidenceInterval(double deviation, double edf, double confidence);

// One row of an analysis: the estimate, and for the deviations the noise type, the EDF and the
// interval (NaN edf and bounds, nullopt alpha where none applies or none could be found).
struct AnalysisRow {
  Estimate estimate;
  std::optional<int> alpha;
  double edf = 0;
  ConfidenceInterval interval;
};

// Where a statistic's noise type comes from.
enum class NoiseReading {
  // One type per factor for every statistic, read from every m-th phase point as for the
  // overlapping Allan deviation (the noise is a property of the data at that tau, not of the
  // statistic); a type steeper than a statistic can see is taken as its steepest.
  OnePerTau,
  // Each statistic's own reading: the modified and time deviations from block means where the
  // points say a phase noise, the Hadamard family through one more difference.
  PerStatistic,
};

struct AnalysisMethod {
  NoiseReading noise = NoiseReading::OnePerTau;
  EdfMethod edf = EdfMethod::Coverage;
};

class NoiseReadings;

// The statistic with its interval at each factor. Where the noise type cannot be identified at a
// factor (too few points left), the type found at the nearest smaller factor is carried over, so
// the long-tau end of a curve keeps its interval. Where gaps leave out terms, the EDF shrinks in
// proportion to the terms used. `shared`, where given, keeps the noise readings that the other
// statistics over the same series can use (NoiseReadings.h); `estimates`, where given, are the
// statistic's estimates at the factors, made already (estimatesAtFactor()).
std::vector<AnalysisRow> analyse(Statistic statistic, std::span<const double> phase, double tau0,
                                 std::span<const int> factors, double confidence,
                                 AnalysisMethod method = {}, NoiseReadings* shared = nullptr,
                                 std::span<const Estimate> estimates = {});

// Makes ahead in `shared` the noise reading that analyse() under `method` takes at the factor for
// every statistic (NoiseReading::OnePerTau), and the variance ratio that tells a phase noise found
// there white or flicker, so that the readings at several factors can be made at once on several
// threads before the statistics go through them in order. Nothing where each statistic reads its
// own.
void readNoiseAhead(std::span<const double> phase, int factor, AnalysisMethod method,
                    NoiseReadings& shared);

}  // namespace tessarin::stability
