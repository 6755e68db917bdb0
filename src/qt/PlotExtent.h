#pragma once

#include <qcustomplot.h>

#include <limits>
#include <optional>

namespace tessarin::qt {

// Smallest and largest of a set of values, over all finite values and over the positive ones
// only, which are all a logarithmic axis can show.
struct ValueSpan {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  double minPositive = std::numeric_limits<double>::infinity();
  double maxPositive = -std::numeric_limits<double>::infinity();

  void include(double value);
  void include(const ValueSpan& other);
};

// The extent of one curve, kept up to date point by point while the curve grows. The last point
// is held apart from the others, so that changing its value costs no scan of the curve.
class CurveExtent {
 public:
  void clear();
  // A point after all others: it becomes the last point.
  void append(double key, double value);
  // A point that goes somewhere before the last point, which stays last.
  void insertBeforeLast(double key, double value);
  void replaceLastValue(double value);
  ValueSpan keys() const;
  ValueSpan values() const;

 private:
  ValueSpan keysBeforeLast_, valuesBeforeLast_;
  std::optional<double> lastKey_, lastValue_;
};

// The axis range that shows every value of `span`, widened on both sides by `margin` times its
// width (in decades on a logarithmic axis). A span of one value gets a range around it; an empty
// span gets none.
std::optional<QCPRange> FittedRange(const ValueSpan& span, bool logarithmic, double margin);

// A positive range widened to whole decades (1 to 10, 1 to 100, ...), so that a logarithmic axis
// shows its decade ticks however narrow the data is.
QCPRange WholeDecades(const QCPRange& range);

}  // namespace tessarin::qt
