// Left and right truncation points of a Poisson distribution and its
// normalised weights between them (the Fox-Glynn method, with fixed
// constants), so that the mass outside [left, right] stays below epsilon.
#pragma once

#include <climits>
#include <cstdio>

// No lower limit on the right point.
constexpr unsigned kNoMinRight = UINT_MAX;

// Fills `left`, `right` and `weights` (right - left + 1 entries or more,
// owned by the caller, delete[]). Entry i belongs to the count left + i:
// its normalised probability, or with `cumulative` the normalised sum from
// left + i to right. A `minRight` other than 0 and kNoMinRight that is not
// below the computed right point raises it to minRight + 1. Failures end
// the run through fatal_error on `errFile`.
void pois_pts(bool cumulative, double lambda, double epsilon, unsigned& left, unsigned& right,
              double*& weights, unsigned minRight, FILE* errFile);
void pois_pts(bool cumulative, double lambda, double epsilon, unsigned& left, unsigned& right,
              double*& weights, FILE* errFile);
void pois_pts(double lambda, double epsilon, unsigned& left, unsigned& right, double*& weights,
              FILE* errFile);
// ULONG_MAX and UINT_MAX both mean no lower limit here.
void pois_pts(double lambda, double epsilon, unsigned& left, unsigned& right, double*& weights,
              unsigned long minRight, FILE* errFile);
