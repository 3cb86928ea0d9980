#include "pv/PoissonPoints.h"

#include <cmath>
#include <cstddef>
#include <new>

#include "report/ReportHelpers.h"

namespace {

constexpr double kRightBoundFactor = 1.5054225;
constexpr double kExponentSlope = -0.31426968;
constexpr double kExponentOffset = 0.3333333333;
constexpr double kSqrtTwoPi = 2.5066283;
constexpr double kLeftBoundFactor = 1.05;
constexpr double kLeftPointThreshold = 25;
constexpr double kRecursionThreshold = 400;
constexpr unsigned kRightPointLimit = 600;
constexpr double kStartWeightNumerator = 1.7976931348623157e308;
constexpr double kStartWeightScale = 1e10;
constexpr double kUnderflowThreshold = 2.2250738585072014e-298;

// Keeps `j <= right` loops finite and right - left + 1 countable.
constexpr unsigned kLargestRight = UINT_MAX - 1;

constexpr const char* kNotPositive = "\nfinder: poisson paramer less than or equal to 0\n";
constexpr const char* kOutOfMemory = "\npois_pts: out of memory\n";
constexpr const char* kPossibleUnderflow = "\npois_pts: possible underflow\n";
constexpr const char* kNegativeEpsilon = "\npois_pts: error bound less than 0 or not a number\n";
constexpr const char* kRightTooLarge = "\npois_pts: right truncation point too large\n";

// The bound searches stop at the first k whose term is not above half the
// error bound; a term that is not a number also stops them.
double rightPoint(double lambda, double epsilon) {
  const double a = (1 + 1 / lambda) * kRightBoundFactor;
  const double sqrtLambda = std::sqrt(lambda);
  const double halfEpsilon = epsilon / 2;
  double k = 3;
  for (;; k += 1) {
    const double d = 1 / (1 - std::exp(kExponentSlope * k * sqrtLambda - kExponentOffset));
    const double term = a * d * std::exp(-(k * k) / 2) / (k * kSqrtTwoPi);
    if (!(term > halfEpsilon)) break;
  }
  return std::trunc(lambda + k * std::sqrt(2 * lambda) + 1.5) + 1;
}

unsigned leftPoint(double lambda, double epsilon) {
  if (lambda < kLeftPointThreshold) return 0;
  const double halfEpsilon = epsilon / 2;
  double k = 1;
  for (;; k += 1) {
    const double term = kLeftBoundFactor * std::exp(-(k * k) / 2) / (k * kSqrtTwoPi);
    if (!(term > halfEpsilon)) break;
  }
  const double left = std::trunc(lambda - k * std::sqrt(lambda) - 1.5);
  return left < 0 ? 0 : static_cast<unsigned>(left);
}

// Sum of w[0..last], always adding the smaller end weight first.
double sumFromEndsInwards(const double* w, unsigned last) {
  unsigned low = 0;
  unsigned high = last;
  double total = 0;
  while (low < high) {
    if (w[low] <= w[high]) {
      total += w[low++];
    } else {
      total += w[high--];
    }
  }
  return total + w[low];
}

}  // namespace

void pois_pts(bool cumulative, double lambda, double epsilon, unsigned& left, unsigned& right,
              double*& weights, unsigned minRight, FILE* errFile) {
  if (!(lambda > 0)) fatal_error(errFile, kNotPositive);
  if (!(epsilon >= 0)) fatal_error(errFile, kNegativeEpsilon);

  const double rightBound = rightPoint(lambda, epsilon);
  if (!(rightBound <= kLargestRight)) fatal_error(errFile, kRightTooLarge);
  unsigned r = static_cast<unsigned>(rightBound);
  if (minRight != kNoMinRight && minRight != 0 && r <= minRight) {
    if (minRight >= kLargestRight) fatal_error(errFile, kRightTooLarge);
    r = minRight + 1;
  }
  const unsigned l = leftPoint(lambda, epsilon);
  const bool smallLambda = lambda < kRecursionThreshold;
  // Refused before anything is allocated, so that the exit leaves nothing behind.
  if (smallLambda && r > kRightPointLimit) fatal_error(errFile, kPossibleUnderflow);

  const std::size_t size = static_cast<std::size_t>(r) - l + 1;
  double* w = new (std::nothrow) double[size];
  if (w == nullptr) fatal_error(errFile, kOutOfMemory);

  const unsigned mode = static_cast<unsigned>(lambda);
  w[mode - l] = kStartWeightNumerator / (kStartWeightScale * static_cast<double>(r - l));

  for (unsigned j = mode; j > l; --j) {
    w[j - 1 - l] = (static_cast<double>(j) / lambda) * w[j - l];
  }
  if (!smallLambda) {
    for (unsigned j = mode + 1; j <= r; ++j) {
      w[j - l] = (lambda / static_cast<double>(j)) * w[j - 1 - l];
    }
  } else {
    for (unsigned j = mode + 1; j <= r; ++j) {
      w[j - l] = (lambda / static_cast<double>(j)) * w[j - 1 - l];
      if (w[j - l] < kUnderflowThreshold) {
        r = j;
        break;
      }
    }
  }

  const unsigned last = r - l;
  const double total = sumFromEndsInwards(w, last);
  if (cumulative) {
    for (unsigned i = last; i-- > 0;) w[i] += w[i + 1];
  }
  for (unsigned i = 0; i <= last; ++i) w[i] /= total;

  left = l;
  right = r;
  weights = w;
}

void pois_pts(bool cumulative, double lambda, double epsilon, unsigned& left, unsigned& right,
              double*& weights, FILE* errFile) {
  pois_pts(cumulative, lambda, epsilon, left, right, weights, kNoMinRight, errFile);
}

void pois_pts(double lambda, double epsilon, unsigned& left, unsigned& right, double*& weights,
              FILE* errFile) {
  pois_pts(false, lambda, epsilon, left, right, weights, kNoMinRight, errFile);
}

void pois_pts(double lambda, double epsilon, unsigned& left, unsigned& right, double*& weights,
              unsigned long minRight, FILE* errFile) {
  // A limit beyond 32 bits cannot be met; kLargestRight makes it fail as too large.
  unsigned limit = kNoMinRight;
  if (minRight != ULONG_MAX && minRight != UINT_MAX) {
    limit = minRight > kLargestRight ? kLargestRight : static_cast<unsigned>(minRight);
  }
  pois_pts(false, lambda, epsilon, left, right, weights, limit, errFile);
}
