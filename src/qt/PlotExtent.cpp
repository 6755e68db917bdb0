#include "qt/PlotExtent.h"

#include <algorithm>
#include <cmath>

namespace tessarin::qt {

void ValueSpan::include(double value) {
  if (!std::isfinite(value)) return;
  min = std::min(min, value);
  max = std::max(max, value);
  if (value > 0) {
    minPositive = std::min(minPositive, value);
    maxPositive = std::max(maxPositive, value);
  }
}

void ValueSpan::include(const ValueSpan& other) {
  min = std::min(min, other.min);
  max = std::max(max, other.max);
  minPositive = std::min(minPositive, other.minPositive);
  maxPositive = std::max(maxPositive, other.maxPositive);
}

void CurveExtent::clear() { *this = CurveExtent(); }

void CurveExtent::append(double key, double value) {
  if (lastKey_) {
    keysBeforeLast_.include(*lastKey_);
    valuesBeforeLast_.include(*lastValue_);
  }
  lastKey_ = key;
  lastValue_ = value;
}

void CurveExtent::insertBeforeLast(double key, double value) {
  if (!lastKey_) {
    append(key, value);
    return;
  }
  keysBeforeLast_.include(key);
  valuesBeforeLast_.include(value);
}

void CurveExtent::replaceLastValue(double value) {
  if (lastValue_) lastValue_ = value;
}

ValueSpan CurveExtent::keys() const {
  ValueSpan span = keysBeforeLast_;
  if (lastKey_) span.include(*lastKey_);
  return span;
}

ValueSpan CurveExtent::values() const {
  ValueSpan span = valuesBeforeLast_;
  if (lastValue_) span.include(*lastValue_);
  return span;
}

std::optional<QCPRange> FittedRange(const ValueSpan& span, bool logarithmic, double margin) {
  if (logarithmic) {
    const double low = span.minPositive, high = span.maxPositive;
    if (low > high) return std::nullopt;
    if (low == high) return QCPRange(low / 2, high * 2);
    const double factor = std::pow(high / low, margin);
    return QCPRange(low / factor, high * factor);
  }
  const double low = span.min, high = span.max;
  if (low > high) return std::nullopt;
  if (low == high) {
    const double half = low == 0 ? 1.0 : std::abs(low) * 0.1;
    return QCPRange(low - half, high + half);
  }
  const double widening = (high - low) * margin;
  return QCPRange(low - widening, high + widening);
}

QCPRange WholeDecades(const QCPRange& range) {
  // The tolerance keeps a value such as 1000 computed as 999.9999999 on its own decade.
  const double low = std::floor(std::log10(range.lower) + 1e-9);
  double high = std::ceil(std::log10(range.upper) - 1e-9);
  if (high <= low) high = low + 1;
  return QCPRange(std::pow(10.0, low), std::pow(10.0, high));
}

}  // namespace tessarin::qt
