#include "app/watch/ReducedSeries.h"

#include <algorithm>

namespace tessarin::app::watch {

void ReducedSeries::Bucket::add(const Bucket& other) {
  if (other.low.second < low.second) low = other.low;
  if (other.high.second > high.second) high = other.high;
  count += other.count;
}

ReducedSeries::ReducedSeries() { buckets_.reserve(kMaxBuckets); }

void ReducedSeries::clear() {
  buckets_.clear();
  bucketSize_ = 1;
  count_ = 0;
}

void ReducedSeries::append(double x, double y) {
  if (count_ > 0) fold(last_);
  last_ = {x, y};
  ++count_;
}

void ReducedSeries::replaceLast(double y) {
  if (count_ > 0) last_.second = y;
}

void ReducedSeries::fold(const Point& p) {
  const bool full = buckets_.empty() || buckets_.back().count >= bucketSize_;
  if (full && int(buckets_.size()) == kMaxBuckets) halve();
  if (!buckets_.empty() && buckets_.back().count < bucketSize_)
    buckets_.back().add(Bucket{p, p, 1});
  else
    buckets_.push_back(Bucket{p, p, 1});
}

// Twice the points per bucket: each pair of neighbours becomes one.
void ReducedSeries::halve() {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < buckets_.size(); i += 2) {
    Bucket merged = buckets_[i];
    if (i + 1 < buckets_.size()) merged.add(buckets_[i + 1]);
    buckets_[kept++] = merged;
  }
  buckets_.resize(kept);
  bucketSize_ *= 2;
}

std::vector<ReducedSeries::Point> ReducedSeries::points(int maxPoints) const {
  std::vector<Point> out;
  if (count_ == 0) return out;
  const Bucket lastBucket{last_, last_, 1};
  const int buckets = int(buckets_.size()) + 1;
  const int groups = std::max(1, maxPoints / 2);
  const int perGroup = (buckets + groups - 1) / groups;
  out.reserve(std::size_t(std::min(2 * buckets, 2 * groups)));
  for (int first = 0; first < buckets; first += perGroup) {
    const int end = std::min(buckets, first + perGroup);
    Bucket group = first < int(buckets_.size()) ? buckets_[std::size_t(first)] : lastBucket;
    for (int i = first + 1; i < end; ++i)
      group.add(i < int(buckets_.size()) ? buckets_[std::size_t(i)] : lastBucket);
    const auto [a, b] = std::minmax(group.low, group.high);
    out.push_back(a);
    if (b != a) out.push_back(b);
  }
  return out;
}

}  // namespace tessarin::app::watch
