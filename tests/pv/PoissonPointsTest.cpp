#include "pv/PoissonPoints.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Result {
  unsigned left = 0;
  unsigned right = 0;
  std::vector<double> weights;  // right - left + 1 entries
};

Result poisson(bool cumulative, double lambda, double epsilon, unsigned minRight = kNoMinRight) {
  Result r;
  double* w = nullptr;
  pois_pts(cumulative, lambda, epsilon, r.left, r.right, w, minRight, stderr);
  std::unique_ptr<double[]> owned(w);
  r.weights.assign(w, w + (r.right - r.left + 1));
  return r;
}

double sum(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return s;
}

double logPoisson(double lambda, unsigned j) {
  return j * std::log(lambda) - lambda - std::lgamma(j + 1.0);
}

// Both searches stop at k = 5: L = trunc(100 - 5 * 10 - 1.5) = 48 and
// R = trunc(100 + 5 * sqrt(200) + 1.5) + 1 = 173. The weights follow
// 100^j / j!, sum to 1 and, with less than 1e-6 of the mass outside, are
// the Poisson probabilities themselves to about six digits.
TEST(PoissonPointsTest, LambdaHundredWeights) {
  const Result r = poisson(false, 100, 1e-6);
  EXPECT_EQ(r.left, 48u);
  EXPECT_EQ(r.right, 173u);
  ASSERT_EQ(r.weights.size(), 126u);
  EXPECT_NEAR(sum(r.weights), 1.0, 1e-13);
  for (unsigned j = r.left; j <= r.right; ++j) {
    const double logRatio = std::log(r.weights[j - r.left] / r.weights[0]);
    EXPECT_NEAR(logRatio, logPoisson(100, j) - logPoisson(100, r.left), 1e-9) << "count " << j;
  }
  const double atMode = r.weights[100 - r.left];
  EXPECT_NEAR(atMode / std::exp(logPoisson(100, 100)), 1.0, 2e-6);

  // The other forms give the same numbers.
  unsigned left = 0;
  unsigned right = 0;
  double* w = nullptr;
  pois_pts(100, 1e-6, left, right, w, stderr);
  EXPECT_EQ(left, 48u);
  EXPECT_EQ(right, 173u);
  EXPECT_EQ(std::vector<double>(w, w + 126), r.weights);
  delete[] w;
}

TEST(PoissonPointsTest, CumulativeFormFallsFromOne) {
  const Result plain = poisson(false, 100, 1e-6);
  const Result tail = poisson(true, 100, 1e-6);
  ASSERT_EQ(tail.weights.size(), plain.weights.size());
  EXPECT_NEAR(tail.weights[0], 1.0, 1e-13);
  EXPECT_EQ(tail.weights.back(), plain.weights.back());
  for (std::size_t i = 0; i + 1 < tail.weights.size(); ++i) {
    EXPECT_GT(tail.weights[i], tail.weights[i + 1]) << i;
    EXPECT_NEAR(tail.weights[i] - tail.weights[i + 1], plain.weights[i], 1e-15) << i;
  }
}

TEST(PoissonPointsTest, LeftPoint) {
  struct Case {
    double lambda;
    unsigned left;
  };
  // Below 25 always 0; at 25 the bound 25 - 5 * 5 - 1.5 is negative; at 30
  // it is trunc(30 - 5 * sqrt(30) - 1.5) = 1.
  const Case cases[] = {{0.5, 0}, {3, 0}, {24.9, 0}, {25, 0}, {30, 1}};
  for (const Case& c : cases) {
    const Result r = poisson(false, c.lambda, 1e-6);
    EXPECT_EQ(r.left, c.left) << c.lambda;
    EXPECT_GT(r.right, static_cast<unsigned>(c.lambda)) << c.lambda;
    EXPECT_NEAR(sum(r.weights), 1.0, 1e-13) << c.lambda;
  }
}

TEST(PoissonPointsTest, MinRightRaisesTheRightPoint) {
  struct Case {
    unsigned minRight;
    unsigned right;
  };
  const Case cases[] = {
      {200, 201}, {173, 174}, {172, 173}, {0, 173}, {kNoMinRight, 173},
  };
  for (const Case& c : cases) {
    const Result r = poisson(false, 100, 1e-6, c.minRight);
    EXPECT_EQ(r.right, c.right) << c.minRight;
    EXPECT_NEAR(sum(r.weights), 1.0, 1e-13) << c.minRight;
  }
  unsigned left = 0;
  unsigned right = 0;
  double* w = nullptr;
  pois_pts(100, 1e-6, left, right, w, 200UL, stderr);
  EXPECT_EQ(right, 201u);
  delete[] w;
  pois_pts(100, 1e-6, left, right, w, ULONG_MAX, stderr);
  EXPECT_EQ(right, 173u);
  delete[] w;
}

// Lambda 1 with the right point pushed to 591: the weights w_j = w_1 / j!
// start from 1.7976931348623157e308 / (1e10 * 591) and the recursion stops at
// the first one below 2.2250738585072014e-298.
TEST(PoissonPointsTest, SmallLambdaCutsTheTailAtUnderflow) {
  const double logStart = std::log(1.7976931348623157e308 / (1e10 * 591));
  const double logThreshold = std::log(2.2250738585072014e-298);
  unsigned expectedRight = 1;
  while (logStart - std::lgamma(expectedRight + 1.0) >= logThreshold) ++expectedRight;

  const Result r = poisson(false, 1, 1e-6, 590);
  EXPECT_EQ(r.left, 0u);
  EXPECT_EQ(r.right, expectedRight);
  EXPECT_LT(r.right, 591u);
  EXPECT_NEAR(sum(r.weights), 1.0, 1e-13);
  EXPECT_NEAR(r.weights[0], std::exp(-1.0), 1e-15);
}

TEST(PoissonPointsDeathTest, BadInputEndsTheRun) {
  struct Case {
    double lambda;
    double epsilon;
    unsigned minRight;
    const char* message;
  };
  const Case cases[] = {
      {0, 1e-6, kNoMinRight, "finder: poisson paramer less than or equal to 0"},
      {-1, 1e-6, kNoMinRight, "finder: poisson paramer less than or equal to 0"},
      {NAN, 1e-6, kNoMinRight, "finder: poisson paramer less than or equal to 0"},
      {10, 1e-6, 600, "pois_pts: possible underflow"},
      {399, 1e-30, kNoMinRight, "pois_pts: possible underflow"},
      // Guards of this implementation: searches that would never end and
      // right points that 32 bits cannot hold.
      {10, -1e-6, kNoMinRight, "pois_pts: error bound less than 0 or not a number"},
      {10, NAN, kNoMinRight, "pois_pts: error bound less than 0 or not a number"},
      {1e10, 1e-6, kNoMinRight, "pois_pts: right truncation point too large"},
      {1000, 1e-6, UINT_MAX - 1, "pois_pts: right truncation point too large"},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(poisson(false, c.lambda, c.epsilon, c.minRight), ::testing::ExitedWithCode(1),
                c.message)
        << c.lambda << " " << c.epsilon;
  }
}

// A weight array that cannot be had. The child limits its address space so
// the allocation fails; under AddressSanitizer that failure must come back as
// null (allocator_may_return_null) and the child's exit must not run a leak
// check that itself needs memory, so both are set for the re-executed child.
TEST(PoissonPointsDeathTest, WeightArrayThatCannotBeAllocated) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* previous = getenv("ASAN_OPTIONS");
  const std::string saved = previous != nullptr ? previous : "";
  setenv("ASAN_OPTIONS", (saved + ":allocator_may_return_null=1:detect_leaks=0").c_str(), 1);
  EXPECT_EXIT(
      {
        rlimit limit;
        getrlimit(RLIMIT_AS, &limit);
        rlimit lowered = limit;
        // About 32 GB are asked for; allow far less than that beyond what is mapped.
        lowered.rlim_cur = 16ULL << 30;
        if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > lowered.rlim_cur) {
          setrlimit(RLIMIT_AS, &lowered);
        }
        poisson(false, 1000, 1e-6, 4000000000U);
      },
      ::testing::ExitedWithCode(1), "pois_pts: out of memory");
  if (previous != nullptr) {
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
  } else {
    unsetenv("ASAN_OPTIONS");
  }
}

}  // namespace
