#include "analysis/DriftModels.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "analysis/LeastSquares.h"
#include "stability/Preprocessing.h"

namespace tessarin::analysis {

namespace {

constexpr double kSecondsPerDay = 86400;
// The scan of the nonlinear coefficient: values a decade, and golden-section steps after it,
// which narrow the scan's bracket of 0.58 in ln q to 1e-8 of it.
constexpr int kScanPerDecade = 8;
constexpr int kGoldenSteps = 40;
// The scan reads every k-th sample, so that it reads at most this many.
constexpr std::size_t kMostScanned = 20000;

struct ValidSpan {
  std::int64_t first = 0;
  std::int64_t last = -1;
  std::int64_t count = 0;
};

ValidSpan validSpan(std::span<const double> values) {
  ValidSpan span;
  for (std::int64_t k = 0; k < std::ssize(values); ++k) {
    if (std::isnan(values[static_cast<std::size_t>(k)])) continue;
    if (span.count++ == 0) span.first = k;
    span.last = k;
  }
  return span;
}

DriftFit notConverged(DriftFit fit, std::string why) {
  fit.converged = false;
  fit.why = std::move(why);
  return fit;
}

// c_t = J c_u: the coefficients and their uncertainties in another basis.
void takeCoefficients(DriftFit& drift, const LinearFit& fit,
                      const std::vector<std::vector<double>>& jacobian,
                      const std::vector<std::pair<const char*, const char*>>& names) {
  for (std::size_t i = 0; i < jacobian.size(); ++i) {
    double value = 0;
    double variance = 0;
    for (std::size_t j = 0; j < fit.coefficients.size(); ++j) {
      value += jacobian[i][j] * fit.coefficients[j];
      for (std::size_t l = 0; l < fit.coefficients.size(); ++l)
        variance += jacobian[i][j] * fit.covariance[j][l] * jacobian[i][l];
    }
    drift.coefficients.push_back({names[i].first, value, std::sqrt(variance), names[i].second});
  }
}

// Takes out `curve` less its mean over the valid samples.
void takeOut(std::span<double> frequency, const std::function<double(double)>& curve,
             double daysPerSample) {
  long double sum = 0;
  std::int64_t count = 0;
  for (std::size_t k = 0; k < frequency.size(); ++k)
    if (!std::isnan(frequency[k])) {
      sum += curve(static_cast<double>(k) * daysPerSample);
      ++count;
    }
  const auto mean = static_cast<double>(sum / static_cast<long double>(count));
  for (std::size_t k = 0; k < frequency.size(); ++k)
    frequency[k] -= curve(static_cast<double>(k) * daysPerSample) - mean;
}

DriftFit polynomial(DriftModel model, std::span<double> frequency, double daysPerSample,
                    DriftFit drift) {
  const std::size_t terms = model == DriftModel::Linear ? 2 : 3;
  // Fitted in u = (k - middle) / half, -1 .. 1 over the record, and turned into t in days.
  const double middle = 0.5 * static_cast<double>(frequency.size() - 1);
  const double half = std::max(middle, 0.5);
  const auto fit = fitLinear(frequency, terms, [&](std::int64_t k, std::span<long double> row) {
    const long double u = (static_cast<double>(k) - middle) / half;
    row[0] = 1;
    row[1] = u;
    if (row.size() > 2) row[2] = u * u;
  });
  if (!fit) return notConverged(drift, "too few valid samples for its coefficients");
  const double tm = middle * daysPerSample;
  const double h = half * daysPerSample;
  if (terms == 2)
    takeCoefficients(drift, *fit, {{1, -tm / h}, {0, 1 / h}}, {{"a", ""}, {"b", "/day"}});
  else
    takeCoefficients(
        drift, *fit,
        {{1, -tm / h, tm * tm / (h * h)}, {0, 1 / h, -2 * tm / (h * h)}, {0, 0, 1 / (h * h)}},
        {{"a", ""}, {"b", "/day"}, {"c", "/day^2"}});
  drift.converged = true;
  drift.points = fit->points;
  drift.residual = fit->residualRms();
  const std::vector<double> p = fit->coefficients;
  takeOut(
      frequency,
      [&](double t) {
        const double u = (t - tm) / h;
        return p[0] + p[1] * u + (terms > 2 ? p[2] * u * u : 0);
      },
      daysPerSample);
  return drift;
}

// A model y = a g(t; q) + c, or a + b g(t; q): linear in two coefficients at a given q.
struct NonlinearModel {
  std::function<double(double t, double q)> shape;       // g
  std::function<double(double t, double q)> shapeSlope;  // dg/dq
  double lowest = 0;                                     // the range of q searched
  double highest = 0;
  const char* names[3];  // the coefficients in the order reported: linear, q, constant
  const char* units[3];
  const char* runsOut;  // what a minimum at an end of the range means
  bool constantFirst;   // reported as a, b, c with a the constant
};

DriftFit nonlinear(const NonlinearModel& model, std::span<double> frequency, double daysPerSample,
                   DriftFit drift) {
  const auto fitAt = [&](double q) {
    return fitLinear(frequency, 2, [&](std::int64_t k, std::span<long double> row) {
      row[0] = model.shape(static_cast<double>(k) * daysPerSample, q);
      row[1] = 1;
    });
  };
  // The residual sum of squares at q, from the 2 x 2 normal equations summed in one pass over
  // every `stride`-th sample; the frequencies less their mean, so that an offset far above the
  // noise costs no digits.
  long double sum = 0;
  std::int64_t count = 0;
  for (const double y : frequency)
    if (!std::isnan(y)) sum += y, ++count;
  const auto mean = static_cast<double>(sum / static_cast<long double>(count));
  const auto squaresAt = [&](double logQ, std::size_t stride) {
    const double q = std::exp(logQ);
    long double n = 0, g = 0, gg = 0, y = 0, gy = 0, yy = 0;
    for (std::size_t k = 0; k < frequency.size(); k += stride) {
      if (std::isnan(frequency[k])) continue;
      const long double shape = model.shape(static_cast<double>(k) * daysPerSample, q);
      const long double value = frequency[k] - mean;
      n += 1, g += shape, gg += shape * shape, y += value, gy += shape * value, yy += value * value;
    }
    const long double determinant = n * gg - g * g;
    if (!(determinant > 0)) return HUGE_VAL;
    const long double scale = (n * gy - g * y) / determinant;
    const long double constant = (y - scale * g) / n;
    return static_cast<double>(yy - scale * gy - constant * y);
  };
  const double low = std::log(model.lowest);
  const double high = std::log(model.highest);
  const int scans = static_cast<int>(std::lround((high - low) / std::log(10.0) * kScanPerDecade));
  const double step = (high - low) / scans;
  int best = 0;
  double bestSquares = HUGE_VAL;
  const std::size_t stride = std::max<std::size_t>(1, frequency.size() / kMostScanned);
  for (int i = 0; i <= scans; ++i) {
    const double squares = squaresAt(low + i * step, stride);
    if (squares < bestSquares) {
      bestSquares = squares;
      best = i;
    }
  }
  if (bestSquares == HUGE_VAL) return notConverged(drift, "too few valid samples for it");
  if (best == 0 || best == scans) return notConverged(drift, model.runsOut);
  // Golden-section search between the scan's neighbours of its best value.
  const double golden = 0.5 * (std::sqrt(5.0) - 1);
  double a = low + (best - 1) * step;
  double b = low + (best + 1) * step;
  double x1 = b - golden * (b - a);
  double x2 = a + golden * (b - a);
  double f1 = squaresAt(x1, 1);
  double f2 = squaresAt(x2, 1);
  for (int i = 0; i < kGoldenSteps; ++i) {
    if (f1 < f2) {
      b = x2, x2 = x1, f2 = f1;
      x1 = b - golden * (b - a);
      f1 = squaresAt(x1, 1);
    } else {
      a = x1, x1 = x2, f1 = f2;
      x2 = a + golden * (b - a);
      f2 = squaresAt(x2, 1);
    }
  }
  const double q = std::exp(0.5 * (a + b));
  const auto linear = fitAt(q);
  if (!linear) return notConverged(drift, "too few valid samples for it");
  const double scale = linear->coefficients[0];
  const double constant = linear->coefficients[1];
  const auto curve = [&](double t) { return scale * model.shape(t, q) + constant; };
  // The uncertainties of all three: the Jacobian fitted to the residuals, whose coefficients
  // vanish at the minimum and whose covariance is s^2 (J^T J)^-1.
  std::vector<double> residuals(frequency.begin(), frequency.end());
  for (std::size_t k = 0; k < residuals.size(); ++k)
    residuals[k] -= curve(static_cast<double>(k) * daysPerSample);
  const auto jacobian = fitLinear(residuals, 3, [&](std::int64_t k, std::span<long double> row) {
    const double t = static_cast<double>(k) * daysPerSample;
    row[0] = model.shape(t, q);
    row[1] = scale * model.shapeSlope(t, q);
    row[2] = 1;
  });
  if (!jacobian) return notConverged(drift, "its coefficients cannot be told apart in these data");
  const double values[3] = {scale, q, constant};
  for (const std::size_t i :
       model.constantFirst ? std::vector<std::size_t>{2, 0, 1} : std::vector<std::size_t>{0, 1, 2})
    drift.coefficients.push_back(
        {model.names[i], values[i], jacobian->uncertainty(i), model.units[i]});
  drift.converged = true;
  drift.points = jacobian->points;
  drift.residual = jacobian->residualRms();
  takeOut(frequency, curve, daysPerSample);
  return drift;
}

// The uncertainty of the frequency's slope, per day, from a straight line fitted to the phase's
// first differences: the residuals of a phase fit are independent for white phase noise, those
// of this one for white frequency noise, whose integral the phase fit would take as far smaller
// than it is.
double slopeUncertainty(std::span<const double> phase, double tau0) {
  std::vector<double> frequency;
  for (std::size_t k = 1; k < phase.size(); ++k)
    frequency.push_back((phase[k] - phase[k - 1]) / tau0);
  const double middle = 0.5 * static_cast<double>(frequency.size() - 1);
  const auto fit = fitLinear(frequency, 2, [&](std::int64_t k, std::span<long double> row) {
    row[0] = 1;
    row[1] = (static_cast<double>(k) - middle) / middle;
  });
  return fit ? fit->uncertainty(1) / (middle * tau0) * kSecondsPerDay : 0;
}

}  // namespace

DriftFit removeFrequencyDriftModel(DriftModel model, std::span<double> frequency, double tau0) {
  DriftFit drift;
  drift.model = model;
  const double daysPerSample = tau0 / kSecondsPerDay;
  const ValidSpan valid = validSpan(frequency);
  if (valid.count < 4) return notConverged(drift, "fewer than four valid samples");
  if (model == DriftModel::Linear || model == DriftModel::Quadratic)
    return polynomial(model, frequency, daysPerSample, drift);
  const double length = static_cast<double>(frequency.size() - 1) * daysPerSample;
  if (model == DriftModel::Log)
    return nonlinear(
        {[](double t, double q) { return std::log1p(q * t); },
         [](double t, double q) { return t / (1 + q * t); },
         1e-2 / length,
         1e5 / length,
         {"a", "b", "c"},
         {"", "/day", ""},
         "b runs to the end of its range (b t from 1e-2 to 1e5 at the end of the run): the "
         "frequency does not age logarithmically here",
         false},
        frequency, daysPerSample, drift);
  return nonlinear({[](double t, double q) { return std::sqrt(t + q); },
                    [](double t, double q) { return 0.5 / std::sqrt(t + q); },
                    1e-4 * length,
                    1e3 * length,
                    {"b", "c", "a"},
                    {"/day^1/2", "day", ""},
                    "c runs to the end of its range (1e-4 to 1e3 times the run's length): the "
                    "frequency does not follow a square root of time here",
                    true},
                   frequency, daysPerSample, drift);
}

DriftFit removePhaseDriftModel(DriftModel model, std::span<double> phase, double tau0) {
  DriftFit drift;
  drift.model = model;
  drift.onPhase = true;
  const ValidSpan valid = validSpan(phase);
  const double middle = 0.5 * static_cast<double>(valid.first + valid.last);
  const double half = 0.5 * static_cast<double>(valid.last - valid.first);
  const bool quadratic = model != DriftModel::Average;
  std::optional<double> driftPerDay;
  if (quadratic) {
    driftPerDay = stability::removeFrequencyDrift(phase, tau0);
    if (!driftPerDay) return notConverged(drift, "fewer than three valid points");
  } else {
    const auto mean = stability::removeMeanFrequency(phase, tau0);
    if (!mean) return notConverged(drift, "fewer than two valid points");
    drift.coefficients.push_back({"frequency", *mean, 0, ""});
  }
  if (quadratic) {
    // The same fit again over what the first left, for its covariance and residual: the curvature
    // taken out lies in the fit's basis and changes neither.
    const auto fit = fitLinear(phase, 3, [&](std::int64_t k, std::span<long double> row) {
      const long double u = (static_cast<double>(k) - middle) / half;
      row[0] = 1;
      row[1] = u;
      row[2] = u * u;
    });
    if (!fit) return notConverged(drift, "fewer than four valid points");
    const double secondsPerUnit = half * tau0;
    const double fromPhase =
        2 * fit->uncertainty(2) / (secondsPerUnit * secondsPerUnit) * kSecondsPerDay;
    drift.coefficients.push_back(
        {"drift", *driftPerDay, std::max(fromPhase, slopeUncertainty(phase, tau0)), "/day"});
    drift.residual = fit->residualRms();
    drift.points = fit->points;
  } else {
    // The end points stay where they were: what is left is the phase about the first.
    const double start = phase[static_cast<std::size_t>(valid.first)];
    long double squares = 0;
    for (const double x : phase)
      if (!std::isnan(x)) squares += static_cast<long double>(x - start) * (x - start);
    drift.residual =
        std::sqrt(static_cast<double>(squares / static_cast<long double>(valid.count)));
    drift.points = valid.count;
    drift.coefficients.back().uncertainty =
        std::sqrt(2.0) * drift.residual / (static_cast<double>(valid.last - valid.first) * tau0);
  }
  drift.converged = true;
  return drift;
}

}  // namespace tessarin::analysis
