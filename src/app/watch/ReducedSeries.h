#pragma once

#include <utility>
#include <vector>

namespace tessarin::app::watch {

// The data plot's points kept for the served page as the lowest and highest point of buckets of
// consecutive points: a week-long run of a million samples costs a fixed, small memory, and a
// browser is never handed a million points, yet it still sees every excursion. Until the run has
// more points than buckets, every point is kept as it is.
class ReducedSeries {
 public:
  using Point = std::pair<double, double>;  // sample number, value
  static constexpr int kMaxBuckets = 8192;

  ReducedSeries();
  void clear();
  void append(double x, double y);
  // The last point appended takes the value `y` (a sample that replaced one after a jump).
  void replaceLast(double y);
  int count() const { return count_; }
  // At most `maxPoints` (at least 2) points in the order of x: for each group of buckets its
  // lowest and its highest point.
  std::vector<Point> points(int maxPoints) const;

 private:
  struct Bucket {
    Point low, high;
    int count = 0;
    void add(const Bucket& other);
  };
  void fold(const Point& p);
  void halve();

  std::vector<Bucket> buckets_;
  int bucketSize_ = 1;  // points per full bucket
  // The last point stays out of the buckets until the next comes, so that it can be replaced.
  Point last_{0, 0};
  int count_ = 0;
};

}  // namespace tessarin::app::watch
