// Integer powers by repeated multiplication or division, so that a power of
// ten is formed the same way on every platform.
#pragma once

// x multiplied into 1 n times for n > 0; 1 for n = 0; 1 divided by x -n times
// for n < 0.
double port_pow(double x, int n);
