#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/CorneredHat.h"
#include "model/PowerLawNoise.h"

namespace tessarin::hatcoverage {

// One set of simulated oscillators and how they are measured: each oscillator's level relative to
// the others (its Allan deviation at 1 s over that of the loudest), and the pairs as
// (first, second) indices.
struct HatCase {
  std::string name;
  std::vector<double> levels;
  std::vector<std::pair<int, int>> pairs;
};

// Three equal oscillators in a triangle, the third one ten times quieter, three equal DUTs on a
// reference of the same level (a star of four), and the same on a reference ten times quieter.
std::vector<HatCase> standardCases();

// The interval methods measured, the analyser's (HatInterval::NormalOnVariance) first.
constexpr std::array<analysis::HatInterval, 4> kMethods = {
    analysis::HatInterval::NormalOnVariance, analysis::HatInterval::Satterthwaite,
    analysis::HatInterval::SatterthwaiteIndependentPairs,
    analysis::HatInterval::SatterthwaiteClearOfZero};

// How one method's intervals fared in one cell: positive estimates, and of those the intervals
// that held the truth; every trial's upper bound (the only one of a negative estimate) above it.
struct MethodTally {
  std::array<int, 2> held{};       // at 68.3 % and 95 %, over the positive estimates
  std::array<int, 2> upperHeld{};  // at 68.3 % and 95 %, over every trial
};

// One oscillator's deviation at one statistic and factor over the trials.
struct HatCell {
  int oscillator = 0;
  stability::Statistic statistic{};
  int factor = 0;
  double truth = 0;
  bool truthFromLevel = false;  // else the rms of the oscillator's own estimates over the trials
  double meanOverTruth = 0;     // the rms of the positive estimates over the truth
  int trials = 0;
  int positive = 0;
  std::array<MethodTally, kMethods.size()> methods{};
};

struct HatRun {
  sim::NoiseType noise{};
  int length = 0;
  const HatCase* hatCase = nullptr;
  std::vector<HatCell> cells;
};

struct HatSettings {
  int trials = 500;
  int threads = 1;
  std::uint64_t firstSeed = 1;
};

// Simulates `trials` sets of independent oscillators of one noise type (seeds from firstSeed on,
// a fixed one per trial and oscillator), measures them in pairs as the case says, separates them
// with analyseHat() and tallies every oscillator, statistic and octave factor with at least ten
// terms. The trials are shared out over `threads` threads; the counts do not depend on how.
HatRun measureHatCoverage(const HatCase& hatCase, sim::NoiseType noise, int length,
                          std::span<const stability::Statistic> statistics,
                          const HatSettings& settings);

// The goal: 68.3 +- 5 % and 95 +- 3 % of the intervals of positive estimates hold the truth.
bool meetsGoal(const HatCell& cell, std::size_t method);

}  // namespace tessarin::hatcoverage
