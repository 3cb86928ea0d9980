// The points of a PV's distribution, built from its values sorted in
// ascending order, each with its state probability. One point per run of
// equal values (exact equality); the run of value 0 is the only one treated
// apart. Every builder fills at most n entries of xs and ys and returns the
// number of points; an x that compares equal to 0 is always written as +0.
#pragma once

// (x, P(X <= x)).
int cumulativePoints(int n, const double* probabilities, const double* values, double* xs,
                     double* ys);

// (x, P(X > x)); the probability above 0 is that of all positive values, and
// the running sum continues from its complement.
int complementaryPoints(int n, const double* probabilities, const double* values, double* xs,
                        double* ys);

// (x, P(X = x)); a zero run followed by larger values gets the complement of
// the probability of all non-zero values.
int probabilityPoints(int n, const double* probabilities, const double* values, double* xs,
                      double* ys);
