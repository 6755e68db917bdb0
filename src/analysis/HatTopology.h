#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace tessarin::analysis {

// One pair measurement of the N-cornered hat: the phase of `first` minus the phase of `second`.
struct PairName {
  std::string first;
  std::string second;
};

// How the measured pairs tie the oscillators together.
enum class HatLayout {
  Triangle,  // three oscillators, every pair measured (A-B, B-C, C-A)
  Star,      // one oscillator in every pair, each other one measured against it alone
  Network,   // any other connected set of pairs
};

// "triangle", "star", "network".
std::string_view nameOf(HatLayout layout);

// The method each layout is separated by, in a sentence for the table, the plot and the report.
std::string_view methodOf(HatLayout layout);

// A pair of oscillators i < j and how its phase difference x_i - x_j is made from the measured
// series: the sum of sign[k] times measured series k (+1, -1 or 0). A measured pair is itself; a
// pair not measured is the sum along the shortest chain of measured pairs between the two, which
// is exact because every series lies on one time line.
struct HatPair {
  int first = 0;
  int second = 0;
  std::optional<int> measured;  // the measured series it is, where it is one
  std::vector<int> signs;       // one per measured series
};

struct HatTopology {
  std::vector<std::string> oscillators;  // in the order the pairs first name them
  HatLayout layout = HatLayout::Network;
  std::vector<HatPair> pairs;  // every pair i < j, in the order (0,1), (0,2), ..., (1,2), ...
};

// The oscillators the measured pairs name and every pair between them. Fails, naming the pair by
// its label (its file), when a name is not letters and digits, a pair names one oscillator twice
// or is given twice (either way round), fewer than three oscillators are named, or a pair cannot
// be tied to the others.
platform::Result<HatTopology> hatTopology(std::span<const PairName> measured,
                                          std::span<const std::string> labels);

// The weight of pair `pair`'s variance in oscillator `oscillator`'s, of `count` oscillators: the
// least-squares solution of sigma_ij^2 = sigma_i^2 + sigma_j^2 over every pair,
// sigma_i^2 = (sum_j sigma_ij^2 - sum_jk sigma_jk^2 / (N - 1)) / (N - 2); for three oscillators
// the Gray-Allan three-cornered hat, 1/2 (sigma_ij^2 + sigma_ik^2 - sigma_jk^2).
double hatWeight(int count, const HatPair& pair, int oscillator);

}  // namespace tessarin::analysis
