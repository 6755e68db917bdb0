#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tessarin::analysis {

// A linear least-squares fit and what it rests on.
struct LinearFit {
  std::vector<double> coefficients;
  // s^2 (A^T A)^-1, s^2 the residual sum of squares over the points less the coefficients.
  std::vector<std::vector<double>> covariance;
  double residualSquares = 0;
  std::int64_t points = 0;

  double uncertainty(std::size_t j) const { return std::sqrt(covariance[j][j]); }
  double residualRms() const { return std::sqrt(residualSquares / static_cast<double>(points)); }
};

// The normal equations of a fit, summed in long double.
struct NormalSums {
  explicit NormalSums(std::size_t terms)
      : matrix(terms, std::vector<long double>(terms)), right(terms) {}
  std::vector<std::vector<long double>> matrix;
  std::vector<long double> right;
  std::int64_t points = 0;
};

// The coefficients of the normal equations and (A^T A)^-1, by Gauss-Jordan elimination with
// partial pivoting; nullopt when the matrix is singular or there are no more points than terms.
std::optional<LinearFit> solveNormal(const NormalSums& sums);

// Fits y_k = sum_j c_j f_j(k) to the samples that are not NaN; `basis(k, row)` fills row (a
// std::span<long double> of `terms`) with f_j(k). The residual sum of squares is summed again
// from the residuals, not from the normal equations, so that it keeps its digits.
template <class Basis>
std::optional<LinearFit> fitLinear(std::span<const double> y, std::size_t terms, Basis basis) {
  NormalSums sums(terms);
  std::vector<long double> row(terms);
  for (std::size_t k = 0; k < y.size(); ++k) {
    if (std::isnan(y[k])) continue;
    basis(static_cast<std::int64_t>(k), std::span<long double>(row));
    for (std::size_t i = 0; i < terms; ++i) {
      sums.right[i] += row[i] * y[k];
      for (std::size_t j = 0; j < terms; ++j) sums.matrix[i][j] += row[i] * row[j];
    }
    ++sums.points;
  }
  auto fit = solveNormal(sums);
  if (!fit) return std::nullopt;
  long double squares = 0;
  for (std::size_t k = 0; k < y.size(); ++k) {
    if (std::isnan(y[k])) continue;
    basis(static_cast<std::int64_t>(k), std::span<long double>(row));
    long double model = 0;
    for (std::size_t j = 0; j < terms; ++j) model += row[j] * fit->coefficients[j];
    squares += (y[k] - model) * (y[k] - model);
  }
  fit->residualSquares = static_cast<double>(squares);
  const double variance =
      fit->residualSquares / static_cast<double>(fit->points - static_cast<std::int64_t>(terms));
  for (std::vector<double>& line : fit->covariance)
    for (double& element : line) element *= variance;
  return fit;
}

}  // namespace tessarin::analysis
