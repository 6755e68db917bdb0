#include "analysis/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarin::analysis {

std::optional<LinearFit> solveNormal(const NormalSums& sums) {
  const std::size_t n = sums.right.size();
  if (sums.points <= static_cast<std::int64_t>(n)) return std::nullopt;
  // The basis functions may differ in scale by many orders (a coefficient in days beside one of
  // 1e-9): each is scaled to a unit diagonal, D (A^T A) D, and the solution scaled back.
  std::vector<long double> scale(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!(sums.matrix[i][i] > 0)) return std::nullopt;
    scale[i] = 1 / std::sqrt(sums.matrix[i][i]);
  }
  // [D A^T A D | I | D A^T y], reduced to [I | (D A^T A D)^-1 | D^-1 c].
  std::vector<std::vector<long double>> work(n, std::vector<long double>(2 * n + 1));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) work[i][j] = scale[i] * sums.matrix[i][j] * scale[j];
    work[i][n + i] = 1;
    work[i][2 * n] = scale[i] * sums.right[i];
  }
  const long double tiny = 1024 * std::numeric_limits<long double>::epsilon();
  for (std::size_t column = 0; column < n; ++column) {
    std::size_t pivot = column;
    for (std::size_t i = column + 1; i < n; ++i)
      if (std::abs(work[i][column]) > std::abs(work[pivot][column])) pivot = i;
    if (!(std::abs(work[pivot][column]) > tiny)) return std::nullopt;
    std::swap(work[pivot], work[column]);
    const long double pivotValue = work[column][column];
    for (long double& element : work[column]) element /= pivotValue;
    for (std::size_t i = 0; i < n; ++i) {
      if (i == column || work[i][column] == 0) continue;
      const long double factor = work[i][column];
      for (std::size_t j = 0; j < 2 * n + 1; ++j) work[i][j] -= factor * work[column][j];
    }
  }
  LinearFit fit;
  fit.points = sums.points;
  fit.covariance.assign(n, std::vector<double>(n));
  for (std::size_t i = 0; i < n; ++i) {
    fit.coefficients.push_back(static_cast<double>(scale[i] * work[i][2 * n]));
    for (std::size_t j = 0; j < n; ++j)
      fit.covariance[i][j] = static_cast<double>(scale[i] * work[i][n + j] * scale[j]);
  }
  return fit;
}

}  // namespace tessarin::analysis
