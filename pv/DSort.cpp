#include "pv/DSort.h"

// Heapsort on 0-based arrays: the order in which equal keys end up decides
// the order in which their probabilities are summed later, so the exact
// sequence of moves is part of the result.
void dsort(unsigned long n, double* keys, double* carried) {
  if (n < 2) return;
  unsigned long l = n / 2;
  unsigned long ir = n - 1;
  for (;;) {
    double rk;
    double rc;
    unsigned long i;
    if (l > 0) {
      --l;
      rk = keys[l];
      rc = carried[l];
      i = l;
    } else {
      rk = keys[ir];
      rc = carried[ir];
      keys[ir] = keys[0];
      carried[ir] = carried[0];
      if (--ir == 0) {
        keys[0] = rk;
        carried[0] = rc;
        return;
      }
      i = 0;
    }
    unsigned long j = 2 * i + 1;
    while (j <= ir) {
      if (j < ir && keys[j] < keys[j + 1]) ++j;
      if (!(rk < keys[j])) break;
      keys[i] = keys[j];
      carried[i] = carried[j];
      i = j;
      j = 2 * j + 1;
    }
    keys[i] = rk;
    carried[i] = rc;
  }
}
