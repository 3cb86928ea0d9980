#include "pv/DistributionPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;
using Builder = int (*)(int, const double*, const double*, double*, double*);

struct Case {
  std::string name;
  std::vector<double> values;  // ascending
  std::vector<double> probabilities;
  Points cumulative;
  Points complementary;
  Points probability;
};

// Dyadic probabilities keep every sum exact, so the points compare equal.
const Case kCases[] = {
    {"constant value", {2.5, 2.5, 2.5}, {0.25, 0.25, 0.5}, {{2.5, 1}}, {{2.5, 0}}, {{2.5, 1}}},
    {"constant zero", {0, 0}, {0.5, 0.25}, {{0, 0.75}}, {{0, 0.25}}, {{0, 0.75}}},
    {"zero and one", {0, 1}, {0.25, 0.75}, {{0, 0.25}, {1, 1}}, {{0, 0.75}, {1, 0}},
     {{0, 0.25}, {1, 0.75}}},
    // An unnormalised vector shows where the zero run takes the complement
    // of the non-zero mass instead of its own sum.
    {"zero run replaced", {0, 0, 2}, {0.125, 0.125, 0.5}, {{0, 0.25}, {2, 0.75}},
     {{0, 0.5}, {2, 0}}, {{0, 0.5}, {2, 0.5}}},
    {"negative values", {-3, -3, -1, 0, 4}, {0.125, 0.125, 0.25, 0.25, 0.25},
     {{-3, 0.25}, {-1, 0.5}, {0, 0.75}, {4, 1}},
     {{-3, 0.75}, {-1, 0.5}, {0, 0.25}, {4, 0}},
     {{-3, 0.25}, {-1, 0.25}, {0, 0.25}, {4, 0.25}}},
    // A last run of zeros keeps its own sum in the probability plot.
    {"zero run last", {-1, 0}, {0.25, 0.5}, {{-1, 0.25}, {0, 0.75}}, {{-1, 0.75}, {0, 0.25}},
     {{-1, 0.25}, {0, 0.5}}},
    {"negative zero joins the zero run", {-0.0, 0.0, 1}, {0.25, 0.25, 0.5},
     {{0, 0.5}, {1, 1}}, {{0, 0.5}, {1, 0}}, {{0, 0.5}, {1, 0.5}}},
    {"negative zero alone", {-0.0, -0.0}, {0.5, 0.5}, {{0, 1}}, {{0, 0}}, {{0, 1}}},
};

void expectPoints(Builder build, const Case& c, const Points& expected, const char* kind) {
  const int n = static_cast<int>(c.values.size());
  std::vector<double> xs(n, NAN);
  std::vector<double> ys(n, NAN);
  const int count = build(n, c.probabilities.data(), c.values.data(), xs.data(), ys.data());
  ASSERT_EQ(count, static_cast<int>(expected.size())) << c.name << ", " << kind;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(xs[i], expected[i].first) << c.name << ", " << kind << ", point " << i;
    EXPECT_EQ(ys[i], expected[i].second) << c.name << ", " << kind << ", point " << i;
    // "%1.15g" must never print an x of "-0".
    EXPECT_FALSE(std::signbit(xs[i]) && xs[i] == 0) << c.name << ", " << kind << ", point " << i;
  }
}

TEST(DistributionPointsTest, BuildersFollowTheRunsOfEqualValues) {
  for (const Case& c : kCases) {
    expectPoints(cumulativePoints, c, c.cumulative, "cumulative");
    expectPoints(complementaryPoints, c, c.complementary, "complementary");
    expectPoints(probabilityPoints, c, c.probability, "probability");
  }
}

// The three-state example with its steady state (8/13, 3/13, 2/13), sorted
// as the heapsort leaves it: the zero point of the probability plot is the
// complement of 8/13, and the inputs are left unchanged.
TEST(DistributionPointsTest, ThreeStateExampleInPlotOrder) {
  const std::vector<double> values = {0, 0, 1};
  const std::vector<double> probabilities = {3.0 / 13, 2.0 / 13, 8.0 / 13};
  std::vector<double> xs(3);
  std::vector<double> ys(3);

  ASSERT_EQ(probabilityPoints(3, probabilities.data(), values.data(), xs.data(), ys.data()), 2);
  EXPECT_EQ(xs[0], 0);
  EXPECT_EQ(ys[0], 1 - 8.0 / 13);
  EXPECT_EQ(xs[1], 1);
  EXPECT_EQ(ys[1], 8.0 / 13);

  ASSERT_EQ(cumulativePoints(3, probabilities.data(), values.data(), xs.data(), ys.data()), 2);
  EXPECT_EQ(ys[0], 3.0 / 13 + 2.0 / 13);
  EXPECT_EQ(ys[1], 3.0 / 13 + 2.0 / 13 + 8.0 / 13);

  ASSERT_EQ(complementaryPoints(3, probabilities.data(), values.data(), xs.data(), ys.data()), 2);
  EXPECT_EQ(ys[0], 8.0 / 13);
  EXPECT_EQ(ys[1], 1 - ((1 - 8.0 / 13) + 8.0 / 13));

  EXPECT_EQ(values, (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(probabilities, (std::vector<double>{3.0 / 13, 2.0 / 13, 8.0 / 13}));
}

}  // namespace
