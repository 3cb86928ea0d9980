// The chains the block-access tests build blocks over.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "BlockTestSupport.h"

namespace blocks {

// Builds a chain from each row's columns in written order; the rates are
// 1, 1.5, 2, ... in file order, all distinct and exact in text.
inline Chain chainFromRows(const std::vector<std::vector<int>>& rows) {
  Chain chain;
  chain.states = static_cast<int>(rows.size());
  double rate = 1.0;
  for (int r = 0; r < chain.states; ++r) {
    for (int c : rows[r]) {
      chain.file_entries.emplace_back(r, c, rate);
      rate += 0.5;
    }
  }
  return chain;
}

// 24 states. Column 3 holds 16 entries (searched by halving), column 5
// exactly 15 (scanned). Column 9 holds 22 entries, row 12 five times, and
// column 20 six, rows 8 and 16 twice each: repeated minor indices at the
// block boundaries 8, 12 and 16. Columns 1, 22 and 23 are empty. Rows list
// their columns in descending order.
inline Chain shapedChain() {
  const int n = 24;
  std::vector<std::vector<int>> rows(n);
  for (int r = 0; r <= 16; ++r) {
    if (r != 3) rows[r].push_back(3);
  }
  for (int r = 7; r <= 21; ++r) rows[r].push_back(5);
  for (int r = 0; r <= 17; ++r) rows[r].insert(rows[r].end(), r == 12 ? 5 : 1, 9);
  for (int r : {2, 8, 8, 16, 16, 23}) rows[r].push_back(20);
  for (int r = 0; r < n; ++r) {
    // One more entry per row, into the columns not shaped above.
    const int c = (5 * r + 11) % n;
    if (c != 1 && c != 3 && c != 5 && c != 9 && c != 20 && c < 22) rows[r].push_back(c);
  }
  for (auto& row : rows) std::stable_sort(row.begin(), row.end(), std::greater<int>());
  return chainFromRows(rows);
}

// 50 states with pseudo-random rows of zero to six entries in random order
// (repeats possible), and every other row also entering state 0, whose
// column then holds about 25 entries.
inline Chain randomChain() {
  const int n = 50;
  std::uint32_t seed = 12345;
  const auto next = [&seed](int bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(bound));
  };
  std::vector<std::vector<int>> rows(n);
  for (int r = 0; r < n; ++r) {
    for (int k = next(7); k > 0; --k) rows[r].push_back(next(n));
    if (r % 2 == 1) rows[r].insert(rows[r].begin() + next(static_cast<int>(rows[r].size()) + 1), 0);
  }
  return chainFromRows(rows);
}

}  // namespace blocks
