#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <cstddef>
#include <limits>
#include <map>
#include <utility>

#include "stability/Confidence.h"

namespace tessarin::stability {

namespace {

// Quantiles that cannot be had come back as NaN or infinity, never as an exception.
using NoThrow = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

struct Quantiles {
  double lower, upper;
};

// Remembered quantiles, a thread's own; forgotten all at once past this many.
constexpr std::size_t kRememberedQuantiles = 4096;

// The quantiles of chi-squared with edf degrees of freedom that bound the confidence. Each costs
// microseconds to find, and the same few come again and again: every window of a dynamic
// analysis, every series of one length, has the same degrees of freedom at a factor. So they are
// remembered, and the same edf gives the same bits whether found or remembered.
Quantiles chiSquaredQuantiles(double edf, double confidence) {
  thread_local std::map<std::pair<double, double>, Quantiles> remembered;
  const std::pair key(edf, confidence);
  if (const auto found = remembered.find(key); found != remembered.end()) return found->second;
  const boost::math::chi_squared_distribution<double, NoThrow> chiSquared(edf);
  const Quantiles quantiles{boost::math::quantile(chiSquared, (1 - confidence) / 2),
                            boost::math::quantile(chiSquared, (1 + confidence) / 2)};
  if (remembered.size() >= kRememberedQuantiles) remembered.clear();
  remembered.emplace(key, quantiles);
  return quantiles;
}

}  // namespace

ConfidenceInterval confidenceInterval(double deviation, double edf, double confidence) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  if (!(edf > 0) || std::isinf(edf) || !(confidence > 0 && confidence < 1) ||
      std::isnan(deviation)) {
    return {kNone, kNone};
  }
  // edf s^2 / sigma^2 is chi-squared with edf degrees of freedom.
  const Quantiles quantiles = chiSquaredQuantiles(edf, confidence);
  return {deviation * std::sqrt(edf / quantiles.upper),
          deviation * std::sqrt(edf / quantiles.lower)};
}

}  // namespace tessarin::stability
