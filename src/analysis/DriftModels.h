#pragma once

#include <optional>
#include <span>

#include "analysis/ConditioningRecord.h"

namespace tessarin::analysis {

// Fits a frequency drift model (Linear, Quadratic, Log or Diffusion) to the fractional
// frequencies `frequency`, sampled every tau0 seconds, NaN for a gap, over t in days from the
// first sample, and when it converges takes out the fitted curve less its mean over the valid
// samples: the mean frequency stays as it was, for the offset step to take. The polynomials are
// linear least squares; log and diffusion are fitted by variable projection: their one nonlinear
// coefficient (b of the logarithm, c of the diffusion) by a scan over eight values a decade (over
// at most 20000 samples, evenly spread) and then golden-section search on the residual sum of
// squares of every sample, the others by linear least squares at each value. A minimum at an end of
// the searched range (b t_end from 1e-2 to 1e5, c from 1e-4 to 1e3 times the record's length) does
// not converge: the data do not follow the model there, and nothing is changed. The uncertainties
// are s^2 (J^T J)^-1 of the model's Jacobian J at the solution, s^2 the residual sum of squares
// over the points less the coefficients.
DriftFit removeFrequencyDriftModel(DriftModel model, std::span<double> frequency, double tau0);

// The phase models: PhaseQuadratic (and Quadratic, its name for phase data) takes out
// x = a + b t + c t^2 as stability::removeFrequencyDrift() does (bit for bit; the coefficient
// "drift", 2c per day, its uncertainty the larger of the same fit's, right for white phase
// noise, and that of a line fitted to the first differences, right for white frequency noise);
// Average the mean frequency
// from the end points, as stability::removeMeanFrequency(), its uncertainty sqrt(2) times the
// phase's rms about the first point over the record's length.
DriftFit removePhaseDriftModel(DriftModel model, std::span<double> phase, double tau0);

}  // namespace tessarin::analysis
