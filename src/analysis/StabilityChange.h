#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tessarin::analysis {

// Watches a run's fractional frequency, sample by sample and in constant time, for a change in
// the oscillator's stability at the shortest tau, judged against the run so far. The samples are
// taken in blocks of kBlock; at the end of each block two sequential tests look at it:
//
// - The noise level: the block's Allan variance at tau0, v = mean((y[k] - y[k-1])^2) / 2, against
//   the mean of the blocks before it. ln(v / reference) in units of its spread, sqrt(4 / kBlock)
//   (sqrt(3 / kBlock) for white frequency noise, a little more for white phase), feeds a two-sided
//   CUSUM that lets shifts of under kDrift of those units pass; it tells a change once it climbs
//   past the threshold. A noise step of 3 times is 8.8 units per block: one block tells it.
// - A frequency step: every quarter block, the difference between the mean frequencies of the
//   last kBlock samples and of the kBlock before them, in units of its own spread over the run
//   so far; a change once it passes the threshold. Looking every quarter block catches at least
//   7/8 of a step wherever it came, where differences of whole blocks may split it in two halves
//   that each pass unseen. In flicker frequency noise that spread stays near sqrt(2)
//   sigma_y(tau0) at every window length: a step of a few sigma_y(tau0) is within the noise's
//   own wander there, and no test of mean frequencies tells it without false alarms.
//
// Nothing is judged before kLearnBlocks blocks have set the reference. After a change both
// references are learned again from the blocks after it, and once they are the change is over:
// the oscillator has settled (at its old level or a new one).
class StabilityChange {
 public:
  static constexpr int kBlock = 64;
  static constexpr int kQuarter = kBlock / 4;
  static constexpr int kLearnBlocks = 16;
  static constexpr double kDrift = 1.5;
  // A false alarm in stationary white or flicker frequency noise comes far less than once in 30
  // days at tau 1 s with this threshold (the validation program measures it).
  static constexpr double kDefaultThreshold = 5;

  enum class Kind { NoiseRose, NoiseFell, FrequencyStep };
  struct Change {
    Kind kind;
    double ratio;  // NoiseRose/NoiseFell: the block's Allan deviation at tau0 over the reference
    double step;   // FrequencyStep: the fractional frequency's step
    double score;  // in units of the statistic's spread
  };
  enum class Verdict { Same, Changed, Settled };

  explicit StabilityChange(double threshold = kDefaultThreshold) : threshold_(threshold) {}

  // The next sample's fractional frequency.
  Verdict add(double y);
  // The change told last; the stability is changed until it has settled.
  const std::optional<Change>& change() const { return change_; }
  bool changed() const { return changed_; }

 private:
  void endQuarter();
  void endBlock();
  void tell(const Change& change);
  void learnAgain();

  double threshold_;
  std::optional<double> lastY_;
  int inBlock_ = 0, inQuarter_ = 0;
  double blockSquares_ = 0, quarterSum_ = 0;
  // The mean frequencies of the last eight quarters in a ring (a sample takes no heap memory):
  // the slot written next, which holds the oldest, and how many are there yet.
  std::array<double, 8> quarterMeans_{};
  int nextQuarter_ = 0, quarters_ = 0;
  // The references: the blocks learned from, the sum of their v, of their mean differences
  // squared and how many differences.
  int learned_ = 0;
  double levelSum_ = 0, stepSquares_ = 0;
  int steps_ = 0;
  double rising_ = 0, falling_ = 0;  // the CUSUM's two sides
  bool changed_ = false;
  std::optional<Change> change_;
  Verdict pending_ = Verdict::Same;
};

}  // namespace tessarin::analysis
