#include "pv/DSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

// Keys with many repeats, each carrying a distinct value: after the sort the
// keys ascend as std::sort orders them and every carried value still sits
// beside its own key.
TEST(DSortTest, AgreesWithStdSortAndKeepsPairs) {
  std::mt19937 random(12345);
  for (unsigned long n : {2UL, 3UL, 4UL, 5UL, 17UL, 1000UL, 4099UL}) {
    std::uniform_int_distribution<int> key(-20, 20);
    std::vector<double> keys(n);
    std::vector<double> carried(n);
    std::vector<std::pair<double, double>> pairs(n);
    for (unsigned long i = 0; i < n; ++i) {
      keys[i] = key(random) * 0.5;
      carried[i] = static_cast<double>(i);
      pairs[i] = {keys[i], carried[i]};
    }
    dsort(n, keys.data(), carried.data());

    std::vector<double> expectedKeys;
    for (const auto& p : pairs) expectedKeys.push_back(p.first);
    std::sort(expectedKeys.begin(), expectedKeys.end());
    EXPECT_EQ(keys, expectedKeys) << "n = " << n;

    std::vector<std::pair<double, double>> sortedPairs(n);
    for (unsigned long i = 0; i < n; ++i) sortedPairs[i] = {keys[i], carried[i]};
    std::sort(sortedPairs.begin(), sortedPairs.end());
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(sortedPairs, pairs) << "n = " << n;
  }
}

// The order of equal keys decides the order in which probabilities are summed
// later, so it is pinned by hand-traced runs of the heapsort.
TEST(DSortTest, EqualKeysEndInTheHeapsortOrder) {
  struct Case {
    std::vector<double> keys;
    std::vector<double> carried;
    std::vector<double> sortedKeys;
    std::vector<double> sortedCarried;
  };
  const Case cases[] = {
      {{0, 0, 0}, {1, 2, 3}, {0, 0, 0}, {2, 3, 1}},
      // Of two equal children the sift takes the left one.
      {{0, 1, 1}, {1, 2, 3}, {0, 1, 1}, {1, 3, 2}},
      // The three-state example: value 1 in state 0, 0 elsewhere.
      {{1, 0, 0}, {8, 3, 2}, {0, 0, 1}, {3, 2, 8}},
      {{2, 1}, {20, 10}, {1, 2}, {10, 20}},
  };
  for (const Case& c : cases) {
    std::vector<double> keys = c.keys;
    std::vector<double> carried = c.carried;
    dsort(keys.size(), keys.data(), carried.data());
    EXPECT_EQ(keys, c.sortedKeys);
    EXPECT_EQ(carried, c.sortedCarried);
  }
}

TEST(DSortTest, FewerThanTwoElementsAreLeftAlone) {
  dsort(0, nullptr, nullptr);
  double key = 7.5;
  double carried = -1;
  dsort(1, &key, &carried);
  EXPECT_EQ(key, 7.5);
  EXPECT_EQ(carried, -1);
}

}  // namespace
