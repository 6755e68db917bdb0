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
  pending_ = Verdict::Same;
  if (lastY_) {
    const double d = y - *lastY_;
    blockSquares_ += d * d;
    quarterSum_ += y;
    ++inBlock_;
    ++inQuarter_;
  }
  lastY_ = y;
  if (inQuarter_ == kQuarter) endQuarter();
  if (inBlock_ == kBlock) endBlock();
  return pending_;
}

void StabilityChange::endQuarter() {
  constexpr int kRing = std::tuple_size_v<decltype(quarterMeans_)>;
  quarterMeans_[static_cast<std::size_t>(nextQuarter_)] = quarterSum_ / kQuarter;
  nextQuarter_ = (nextQuarter_ + 1) % kRing;
  quarters_ = std::min(quarters_ + 1, kRing);
  inQuarter_ = 0;
  quarterSum_ = 0;
  if (quarters_ < kRing) return;
  double older = 0, newer = 0;
  for (int i = 0; i < kRing / 2; ++i) {
    older += quarterMeans_[static_cast<std::size_t>((nextQuarter_ + i) % kRing)];
    newer += quarterMeans_[static_cast<std::size_t>((nextQuarter_ + i + kRing / 2) % kRing)];
  }
  const double step = (newer - older) / (kRing / 2);
  if (learned_ >= kLearnBlocks && steps_ > 0) {
    const double score = step / std::sqrt(stepSquares_ / steps_);
    if (std::abs(score) > threshold_) {
      tell(Change{Kind::FrequencyStep, 1, step, score});
      return;
    }
  }
  stepSquares_ += step * step;
  ++steps_;
}

void StabilityChange::endBlock() {
  const double level = blockSquares_ / (2 * kBlock);
  inBlock_ = 0;
  blockSquares_ = 0;
  if (learned_ >= kLearnBlocks && level > 0) {
    const double reference = levelSum_ / learned_;
    const double z = std::log(level / reference) / kLevelSpread;
    rising_ = std::max(0.0, rising_ + z - kDrift);
    falling_ = std::max(0.0, falling_ - z - kDrift);
    if (rising_ > threshold_) {
      tell(Change{Kind::NoiseRose, std::sqrt(level / reference), 0, z});
      return;
    }
    if (falling_ > threshold_) {
      tell(Change{Kind::NoiseFell, std::sqrt(level / reference), 0, z});
      return;
    }
  }
  levelSum_ += level;
  ++learned_;
  if (changed_ && learned_ == kLearnBlocks) {
    changed_ = false;
    pending_ = Verdict::Settled;
  }
}

void StabilityChange::tell(const Change& change) {
  change_ = change;
  changed_ = true;
  pending_ = Verdict::Changed;
  learnAgain();
}

// Nothing before the change is learned from: blocks and quarters start again after it.
void StabilityChange::learnAgain() {
  inBlock_ = inQuarter_ = 0;
  blockSquares_ = quarterSum_ = 0;
  nextQuarter_ = quarters_ = 0;
  learned_ = 0;
  levelSum_ = 0;
  stepSquares_ = 0;
  steps_ = 0;
  rising_ = falling_ = 0;
}

}  // namespace tessarin::analysis
