#include "link/InitializationSequence.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "link/InstrumentCommands.h"

namespace tessarin::link {

namespace {

constexpr double kCountScaleHz = 5;          // a count reply counts the DUT in units of 5 Hz
constexpr int kCheckedReply = 5;             // the reply at which readings 2 to 4 are compared
constexpr double kSampleMilliseconds = 200;  // the stages' sample interval
constexpr double kSampleSeconds = kSampleMilliseconds / 1000;
constexpr double kSampleSecondsSquared = 0.04;
constexpr int kStageLengths[] = {3, 12, 20};

// Count readings are whole hertz; a garbled count far outside any DUT's range is held at the
// limit of the reading's range instead of overflowing it.
std::int32_t toWholeHertz(double hz) {
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(hz), lowest, highest));
}

}  // namespace

void InitializationSequence::begin() {
  longReplies_ = 0;
  counts_.fill(0);
  nextSlot_ = 0;
  link_.send(kMarkOff);
  link_.send(kCountRequest);
}

InitializationSequence::CountOutcome InitializationSequence::takeLongReply(std::string_view line) {
  const int reply = ++longReplies_;
  if (line.front() != 'C' || reply > kCountSlots) return CountOutcome::Ignored;
  const auto agree = [this](int first) {
    return counts_[first - 1] == counts_[first] && counts_[first] == counts_[first + 1];
  };
  const double hz = readingCounts(line.substr(2, 8)) * kCountScaleHz;
  counts_[reply - 1] = toWholeHertz(hz);
  if (reply <= kCheckedReply) link_.send(kCountRequest);
  if (reply == kCheckedReply && agree(2)) return accept(counts_[3]);
  if (reply > kCheckedReply && agree(reply - 2)) return accept(counts_[reply - 1]);
  if (reply > kCheckedReply && reply < kCountSlots) link_.send(kCountRequest);
  return reply == kCountSlots ? CountOutcome::Disagreeing : CountOutcome::Waiting;
}

InitializationSequence::CountOutcome InitializationSequence::accept(std::int32_t hz) {
  frequencies_.counted = hz;
  if (frequencies_.counted > kMaxDutHz || frequencies_.counted < kMinDutHz)
    return CountOutcome::OutOfRange;
  program(frequencies_.counted);
  link_.send(kNonFilteredMode);
  link_.send(kMarkOn);
  link_.send(tauCommand(kSampleMilliseconds));
  link_.send(kStartStream);
  return CountOutcome::Accepted;
}

void InitializationSequence::program(double hz) {
  const FrequencyWords words = frequencyWordsFor(hz);
  frequencies_.coarse = words.coarseFreq;
  frequencies_.fine = words.fineFreq;
  link_.send(words.coarseCommand);
  link_.send(words.fineCommand);
}

bool InitializationSequence::takeStageSample(int stage, std::string_view line) {
  const int samples = kStageLengths[stage - 1];
  const int slot = nextSlot_;
  if (slot < 0 || slot > kLastStageSlot) return false;
  stageSamples_[static_cast<std::size_t>(slot)] = readingCounts(line) / kReferenceHz;
  ++nextSlot_;
  if (slot != samples) return false;
  link_.send(kStopStream);
  fitStage(samples);
  program(frequencies_.measured);
  if (stage < 3) {
    nextSlot_ = 1;
    link_.send(kStartStream);
  }
  return true;
}

// Least-squares slope of the stage's phase samples against time. A slope of zero means the DUT
// runs exactly at the programmed frequency; each unit of slope moves it by 1000 Hz.
void InitializationSequence::fitStage(int samples) {
  double sumY = 0, sumX = 0, sumXY = 0, sumXX = 0;
  for (int i = 1; i <= samples; ++i) {
    const double y = stageSamples_[static_cast<std::size_t>(i)];
    sumY += y;
    sumXY += i * y * kSampleSeconds;
    sumX += i * kSampleSeconds;
    sumXX += i * i * kSampleSecondsSquared;
  }
  const double slope = (samples * sumXY - sumX * sumY) / (samples * sumXX - sumX * sumX);
  DutFrequencies& f = frequencies_;
  const double measured = f.fine / 32 + f.coarse + (1 - slope) * 1000;
  f.measured = std::floor(measured * 100000) / 100000;
  f.programmed = programmedFrequency(f.coarse, f.fine);
  f.rounded = std::nearbyint(f.measured);
}

}  // namespace tessarin::link
