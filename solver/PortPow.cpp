#include "solver/PortPow.h"

double port_pow(double x, int n) {
  double result = 1.0;
  for (int k = 0; k < n; ++k) result *= x;
  // Counting up from n avoids negating it (no overflow for the smallest int).
  for (int k = n; k < 0; ++k) result /= x;
  return result;
}
