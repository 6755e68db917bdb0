#include "analysis/StabilityChange.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessarin::analysis {

namespace {

// The spread of ln(v) over one block, a little over that of white frequency noise.
const double kLevelSpread = std::sqrt(4.0 / StabilityChange::kBlock);

}  // namespace

StabilityChange::Verdict StabilityChange::add(double y) {
  if (lastY_) {
    const double d = y - *lastY_;
    blockSquares_ += d * d;
    blockSum_ += y;
    ++inBlock_;
  }
  lastY_ = y;
  pending_ = Verdict::Same;
  if (inBlock_ == kBlock) endBlock();
  return pending_;
}

void StabilityChange::endBlock() {
  const double level = blockSquares_ / (2 * kBlock);
  const double mean = blockSum_ / kBlock;
  const std::optional<double> lastMean = std::exchange(lastBlockMean_, mean);
  inBlock_ = 0;
  blockSquares_ = blockSum_ = 0;
  const double step = lastMean ? mean - *lastMean : 0;
  if (learned_ >= kLearnBlocks && level > 0 && steps_ > 0) {
    const double reference = levelSum_ / learned_;
    const double z = std::log(level / reference) / kLevelSpread;
    rising_ = std::max(0.0, rising_ + z - kDrift);
    falling_ = std::max(0.0, falling_ - z - kDrift);
    const double stepScore = step / std::sqrt(stepSquares_ / steps_);
    std::optional<Change> found;
    if (std::abs(stepScore) > threshold_)
      found = Change{Kind::FrequencyStep, 1, step, stepScore};
    else if (rising_ > threshold_)
      found = Change{Kind::NoiseRose, std::sqrt(level / reference), 0, z};
    else if (falling_ > threshold_)
      found = Change{Kind::NoiseFell, std::sqrt(level / reference), 0, z};
    if (found) {
      change_ = found;
      changed_ = true;
      pending_ = Verdict::Changed;
      learnAgain();
      return;
    }
  }
  if (lastMean) {
    stepSquares_ += step * step;
    ++steps_;
  }
  levelSum_ += level;
  ++learned_;
  if (changed_ && learned_ == kLearnBlocks) {
    changed_ = false;
    pending_ = Verdict::Settled;
  }
}

// The block that told the change is not learned from: the next difference of means starts
// after it.
void StabilityChange::learnAgain() {
  lastBlockMean_.reset();
  learned_ = 0;
  levelSum_ = 0;
  stepSquares_ = 0;
  steps_ = 0;
  rising_ = falling_ = 0;
}

}  // namespace tessarin::analysis
