#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tessarin::stability {

// The time-domain stability statistics of a phase (time-error) series x in seconds, sampled every
// tau0 seconds. A NaN sample is a gap: every term that touches it is left out, and the term count
// says how many were used.
enum class Statistic {
  Adev,    // non-overlapping Allan deviation, the console's own (AllanDeviation.h)
  Oadev,   // overlapping Allan deviation
  Mdev,    // modified Allan deviation
  Tdev,    // time deviation, tau / sqrt(3) * MDEV, in seconds
  Hdev,    // non-overlapping Hadamard deviation, over every point x[0], x[m], ... there is
  Ohdev,   // overlapping Hadamard deviation
  Totdev,  // total deviation
  Mtie,    // maximum time interval error, in seconds
  TieRms,  // RMS time interval error, in seconds
  // Non-overlapping Allan deviation as NIST SP 1065 defines it: every point x[0], x[m], ... there
  // is, floor((N - 1) / m) + 1 of them, where the console's own takes floor(N / m).
  StandardAdev,
  // The long-tau family (LongTau.h), NIST SP 1065 section 5.2.
  Mtotdev,  // modified total deviation
  Ttotdev,  // time total deviation, tau / sqrt(3) * MTOTDEV, in seconds
  Htotdev,  // Hadamard total deviation; the overlapping Hadamard deviation at m = 1
  Theo1,    // Theo1 deviation at tau = 0.75 m tau0, m even
  Theobr,   // Theo1 with the bias removal of Howe and Tasset
  Theoh,    // hybrid: the overlapping Allan deviation at short tau, TheoBR at long tau
};

// "console-adev" (Adev), "oadev", "mdev", "tdev", "hdev", "ohdev", "totdev", "mtie", "tierms",
// "adev" (StandardAdev), "mtotdev", "ttotdev", "htotdev", "theo1", "theobr", "theoh".
std::string_view nameOf(Statistic statistic);
std::optional<Statistic> statisticNamed(std::string_view name);
// Every name statisticNamed() knows, as a message lists the choices: the standard Allan deviation
// first, then the console's own, then the rest in the order above.
constexpr std::string_view kStatisticChoices =
    "adev, console-adev, oadev, mdev, tdev, hdev, ohdev, totdev, mtie, tierms, mtotdev, ttotdev, "
    "htotdev, theo1, theobr, theoh";

// The deviations have confidence intervals; MTIE and TIE rms have none.
bool hasConfidenceInterval(Statistic statistic);

// The statistic at one averaging factor m: tau = m * tau0, but 0.75 m tau0 for Theo1 and TheoBR
// and for TheoH where it takes TheoBR.
struct Estimate {
  double tau = 0;
  int factor = 0;
  double value = 0;        // NaN when no term could be formed
  std::int64_t terms = 0;  // terms that went into the value
};

Estimate estimate(Statistic statistic, std::span<const double> phase, double tau0, int factor);

// Averaging factors for a series of `sampleCount` phase points: 1, 2, 4, ... (octave);
// 1, 2, 5, 10, 20, 50, ... (decade); every m (all). Each list stops where the statistic would
// have fewer than its least number of terms without gaps: three for the console's adev (five
// decimated points, its rule), one for the others (m up to (N - 1) / 2 for the standard adev and
// oadev, N / 3 for mdev and tdev, (N - 1) / 3 for hdev and ohdev, N - 1 for MTIE and TIE rms), and
// for totdev m up to (N - 1) / 2, half the record. The long-tau family: mtotdev, ttotdev and
// htotdev need one whole subsequence of 3m points (m up to N / 3; htotdev's on the N - 1
// frequencies, (N - 1) / 3); theo1 and theobr take the even m from 2 to N - 1 (SP 1065's range,
// tau up to 0.75 of the record), theobr only where its bias ratio can be formed (N >= 90); theoh
// takes every m below N / 10 (the Allan range) and the even m from there to N - 1.
std::vector<int> octaveFactors(Statistic statistic, std::int64_t sampleCount);
std::vector<int> decadeFactors(Statistic statistic, std::int64_t sampleCount);
std::vector<int> everyFactor(Statistic statistic, std::int64_t sampleCount);

}  // namespace tessarin::stability
