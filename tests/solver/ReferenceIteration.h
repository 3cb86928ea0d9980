// The steady-state iteration written out on a dense matrix, as plain
// arithmetic in the order the solvers are required to use, for comparing
// iteration counts and vectors bit for bit.
#pragma once

#include <cmath>
#include <vector>

#include "EntryListStateLevel.h"

struct ReferenceResult {
  int iterations = 0;
  std::vector<double> x;  // normalised
  bool non_finite = false;
};

inline ReferenceResult referenceIteration(int n, const std::vector<ChainEntry>& entries,
                                          bool jacobi, double w, int maxiter = 300000,
                                          double accuracy = 1e-9) {
  // q[r][c]: off-diagonal rates; stored diagonal entries take no part.
  std::vector<std::vector<double>> q(n, std::vector<double>(n, 0.0));
  for (const ChainEntry& e : entries) {
    if (e.row != e.col) q[e.row][e.col] = e.rate;
  }
  // Diagonal: minus the row sums, subtracted column by column, then inverted.
  std::vector<double> d(n, 0.0);
  for (int c = 0; c < n; ++c) {
    for (int r = 0; r < n; ++r) {
      if (r != c && q[r][c] != 0) d[r] -= q[r][c];
    }
  }
  for (double& v : d) v = 1.0 / v;

  ReferenceResult result;
  std::vector<double>& x = result.x;
  x.assign(n, 1.0 / n);
  const double one_minus_w = 1 - w;
  std::vector<double> previous(n);
  for (;;) {
    double max_diff = 0;
    previous = x;
    for (int i = 0; i < n; ++i) {
      // Jacobi reads the previous sweep's vector, Gauss-Seidel/SOR the newest.
      const std::vector<double>& source = jacobi ? previous : x;
      double s = 0;
      for (int j = 0; j < n; ++j) {
        if (j != i && q[j][i] != 0) s = q[j][i] * source[j] + s;
      }
      const double old = x[i];
      x[i] = (-w * s) * d[i] + one_minus_w * old;
      if (!std::isfinite(x[i])) result.non_finite = true;
      const double change = std::fabs(x[i] - old);
      if (change > max_diff) max_diff = change;
    }
    ++result.iterations;
    if (result.non_finite || !(max_diff > accuracy && result.iterations < maxiter)) break;
  }
  double sum = 0;
  for (double v : x) sum += v;
  const double scale = 1 / sum;
  for (double& v : x) v *= scale;
  return result;
}
