#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "link/InstrumentLink.h"

namespace tessarin::link {

// Highest and lowest DUT frequency the instrument can be tuned to, in hertz.
inline constexpr double kMaxDutHz = 31000000.0;
inline constexpr double kMinDutHz = 1000000.0;

// What the initialization has found out about the DUT and the instrument's synthesizer.
struct DutFrequencies {
  double counted = 0;     // the agreed count reading, whole hertz
  double measured = 0;    // the last refinement's fit, cut to five decimals
  double rounded = 0;     // `measured` to whole hertz: the scale of the run's readings
  double programmed = 0;  // what the words in use during the last refinement realized
  double coarse = 0;      // realized by the coarse word now programmed
  double fine = 0;        // realized by the fine word now programmed, before the division by 32
};

// The instrument dialogue that tunes the instrument to the DUT: counting the DUT frequency, then
// three refinement stages of 3, 12 and 20 samples taken every 200 ms, each ended by a
// least-squares fit of the phase and a reprogramming of the synthesizer. Which step comes next is
// the console's state; this class does the step's work and says how it ended.
class InitializationSequence {
 public:
  enum class CountOutcome { Ignored, Waiting, Accepted, OutOfRange, Disagreeing };

  explicit InitializationSequence(InstrumentLink& link) : link_(link) {}

  // Starts afresh: stops the instrument's activity and asks for the first count.
  void begin();
  // A reply of more than eight characters while counting; other replies and those after the
  // tenth are ignored. Count replies ("C" first) carry the
  // count in characters 3 to 10; readings 2 to 4 must agree at the fifth reply, otherwise counting
  // goes on until the last three readings agree or ten replies have come. An agreed count within
  // the instrument's range programs the instrument and starts the first refinement stream.
  CountOutcome takeLongReply(std::string_view line);
  // A sample line of refinement stage `stage` (1 to 3). True when it completed the stage: the
  // stream is stopped, the DUT measured and the instrument tuned to it, and for stages 1 and 2
  // the next stream started.
  bool takeStageSample(int stage, std::string_view line);

  const DutFrequencies& frequencies() const { return frequencies_; }

 private:
  static constexpr int kCountSlots = 10;
  static constexpr int kLastStageSlot = 20;

  CountOutcome accept(std::int32_t hz);
  void program(double hz);
  void fitStage(int samples);

  InstrumentLink& link_;
  int longReplies_ = 0;
  std::array<std::int32_t, kCountSlots> counts_{};
  // The fit reads slots 1 to n. The first stream starts filling at slot 0, the later ones at 1.
  std::array<double, kLastStageSlot + 1> stageSamples_{};
  int nextSlot_ = 0;
  DutFrequencies frequencies_;
};

}  // namespace tessarin::link
