#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>

#include "stability/Confidence.h"

namespace tessarin::stability {

namespace {

// Quantiles that cannot be had come back as NaN or infinity, never as an exception.
using NoThrow = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

}  // namespace

ConfidenceInterval confidenceInterval(double deviation, double edf, double confidence) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  if (!(edf > 0) || std::isinf(edf) || !(confidence > 0 && confidence < 1) ||
      std::isnan(deviation)) {
    return {kNone, kNone};
  }
  // edf s^2 / sigma^2 is chi-squared with edf degrees of freedom.
  const boost::math::chi_squared_distribution<double, NoThrow> chiSquared(edf);
  const double upperQuantile = boost::math::quantile(chiSquared, (1 + confidence) / 2);
  const double lowerQuantile = boost::math::quantile(chiSquared, (1 - confidence) / 2);
  return {deviation * std::sqrt(edf / upperQuantile), deviation * std::sqrt(edf / lowerQuantile)};
}

}  // namespace tessarin::stability
