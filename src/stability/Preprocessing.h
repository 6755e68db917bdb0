#pragma once

#include <optional>
#include <span>
#include <vector>

namespace tessarin::stability {

// The phase (time error, s) of a series of fractional-frequency samples y taken every tau0
// seconds: x[0] = 0, x[k] = x[k-1] + y[k-1] tau0, one point more than there are frequencies.
// A missing (NaN) frequency makes its phase point NaN, and the phase goes on after it as if that
// interval had had the mean of the valid frequencies: the phase keeps to its trend, so a gap in a
// run with a large frequency offset leaves no step behind it. The terms that touch the NaN point
// are left out anyway; only those that span it see the stand-in, one interval's worth of
// frequency noise.
std::vector<double> phaseFromFrequency(std::span<const double> frequency, double tau0);

// Removes a linear frequency drift: fits x = a + b t + c t^2 to the valid points by least squares
// and subtracts c (t - tm)^2, tm the middle of the record, so that the mean frequency (the line
// from the first to the last valid point) stays as it was. Returns the drift, 2c, as fractional
// frequency per day; nullopt, the series left as it was, with fewer than three valid points.
std::optional<double> removeFrequencyDrift(std::span<double> phase, double tau0);

// Removes the mean frequency: the line from the first to the last valid point, which is the mean
// of the frequency samples the phase was made of. Returns the fractional frequency removed;
// nullopt, the series left as it was, with fewer than two valid points.
std::optional<double> removeMeanFrequency(std::span<double> phase, double tau0);

}  // namespace tessarin::stability
