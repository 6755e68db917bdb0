#pragma once

#include <vector>

namespace tessarin::analysis {

// The median absolute deviation of Gaussian noise is 0.6745 of its standard deviation: a spread
// read from medians, which a few wild values hardly move, in units of sigma.
inline constexpr double kGaussianMad = 0.6745;

// The median of `values`, which it reorders: the mean of the two middle ones of an even count.
double medianOf(std::vector<double>& values);

}  // namespace tessarin::analysis
