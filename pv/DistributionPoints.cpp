#include "pv/DistributionPoints.h"

namespace {

// A reward of -0.0 belongs to the zero run and must not print as "-0".
inline double unsignedZero(double x) { return x == 0.0 ? 0.0 : x; }

// Probability of all non-zero values, summed in index order.
double nonzeroMass(int n, const double* probabilities, const double* values) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) {
    if (values[i] != 0.0) s += probabilities[i];
  }
  return s;
}

// Probability of all positive values, summed in index order. For rewards
// that are never negative it is the non-zero mass, to the last bit.
double positiveMass(int n, const double* probabilities, const double* values) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) {
    if (values[i] > 0.0) s += probabilities[i];
  }
  return s;
}

}  // namespace

int cumulativePoints(int n, const double* probabilities, const double* values, double* xs,
                     double* ys) {
  if (n <= 0) return 0;
  int k = 0;
  double q = probabilities[0];
  for (int i = 1; i < n; ++i) {
    if (values[i] != values[i - 1]) {
      xs[k] = unsignedZero(values[i - 1]);
      ys[k] = q;
      ++k;
    }
    q += probabilities[i];
  }
  xs[k] = unsignedZero(values[n - 1]);
  ys[k] = q;
  return k + 1;
}

int complementaryPoints(int n, const double* probabilities, const double* values, double* xs,
                        double* ys) {
  if (n <= 0) return 0;
  // P(X > 0) is the mass of the positive values only: negative values lie
  // below the zero run and are already in the running sum.
  const double s = positiveMass(n, probabilities, values);
  int k = 0;
  double q = probabilities[0];
  for (int i = 1; i < n; ++i) {
    if (values[i] != values[i - 1]) {
      if (values[i - 1] != 0.0) {
        xs[k] = values[i - 1];
        ys[k] = 1.0 - q;
      } else {
        xs[k] = 0.0;
        ys[k] = s;
        q = 1.0 - s;
      }
      ++k;
    }
    q += probabilities[i];
  }
  xs[k] = unsignedZero(values[n - 1]);
  ys[k] = 1.0 - q;
  return k + 1;
}

int probabilityPoints(int n, const double* probabilities, const double* values, double* xs,
                      double* ys) {
  if (n <= 0) return 0;
  const double s = nonzeroMass(n, probabilities, values);
  int k = 0;
  double q = probabilities[0];
  for (int i = 1; i < n; ++i) {
    if (values[i] != values[i - 1]) {
      if (values[i - 1] != 0.0) {
        xs[k] = values[i - 1];
        ys[k] = q;
      } else {
        xs[k] = 0.0;
        ys[k] = 1.0 - s;
      }
      ++k;
      q = probabilities[i];
    } else {
      q += probabilities[i];
    }
  }
  xs[k] = unsignedZero(values[n - 1]);
  ys[k] = q;
  return k + 1;
}
