// Helpers for the block-access tests: chains written from a list of entries,
// the traversals collected as entry lists, and expectations derived from the
// entry list alone.
#pragma once

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "statespace/FlatStateLevel.h"
#include "statespace/StateSpaceFixture.h"

namespace blocks {

// One delivered entry: row, column, rate.
using Entry = std::tuple<int, int, double>;
using Entries = std::vector<Entry>;

// A chain as the state-space file lists it: 0-based entries in file order
// (rows ascending, each row's entries in the order written).
struct Chain {
  int states = 0;
  Entries file_entries;

  std::string armText() const {
    std::ostringstream arm;
    arm.precision(17);
    arm << "1 " << states << "\n";
    std::size_t k = 0;
    for (int r = 0; r < states; ++r) {
      arm << r + 1;
      for (; k < file_entries.size() && std::get<0>(file_entries[k]) == r; ++k) {
        arm << ' ' << std::get<1>(file_entries[k]) + 1 << ' ' << std::get<2>(file_entries[k]);
      }
      arm << " 0\n";
    }
    return arm.str();
  }

  // Writes the chain with one PV (R: first 0.75, second 0.25 in state 1,
  // zero elsewhere) and loads it.
  std::unique_ptr<FlatStateLevel> load(const ScratchDir& dir) const {
    const StateSpaceFiles files{armText(), "R 1 0.25 0.75\n",
                                "Version:1\nNumPV:1\nName:R\nType:3\nNumTimes:0\n"};
    return std::make_unique<FlatStateLevel>(files.writeTo(dir));
  }
};

// Entries of a container walked in the buffer style.
inline Entries byBuffer(BaseStateLevel::EdgeBaseContainer* c, BaseStateLevel::EdgeBaseIterator* it) {
  Entries seen;
  EdgeBuffer buf{-7, -7, -7.0, 0, false};
  for (c->begin(it, buf); !buf.end; it->next(buf)) seen.emplace_back(buf.row, buf.col, buf.rate);
  return seen;
}

// The same in the pointer style.
inline Entries byPointer(BaseStateLevel::EdgeBaseContainer* c, BaseStateLevel::EdgeBaseIterator* it) {
  Entries seen;
  for (c->begin(it); !it->end(); ++*it) {
    Edge* e = it->operator->();
    seen.emplace_back(e->row(), e->col(), e->rate());
  }
  return seen;
}

// What the all-entries traversal delivers (this switches to columns).
inline Entries allEntries(FlatStateLevel& level) {
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level.allocateAllEdgesContainer(c);
  level.allocateAllEdgesIterator(it);
  level.getAllEdges(c);
  Entries seen = byBuffer(c, it);
  level.deallocateAllEdgesContainer(c);
  level.deallocateAllEdgesIterator(it);
  return seen;
}

// The entries of `entries` whose column (major line) lies in [a, b) and
// whose row (minor index) lies in [c, d), in their given order.
inline Entries inRange(const Entries& entries, int a, int b, int c, int d) {
  Entries kept;
  for (const Entry& e : entries) {
    const int row = std::get<0>(e);
    const int col = std::get<1>(e);
    if (a <= col && col < b && c <= row && row < d) kept.push_back(e);
  }
  return kept;
}

// Entries as blocks deliver them: column by column, rows ascending, entries
// with the same row and column in the given order.
inline Entries inBlockOrder(Entries entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
    return std::tie(std::get<1>(x), std::get<0>(x)) < std::tie(std::get<1>(y), std::get<0>(y));
  });
  return entries;
}

// Row and column exchanged: what blocks built over row storage deliver,
// whose major lines are rows.
inline Entries transposed(const Entries& entries) {
  Entries swapped;
  for (const auto& [row, col, rate] : entries) swapped.emplace_back(col, row, rate);
  return swapped;
}

// A partition request for `blocks` blocks.
inline Partition request(int blocks, int reserved = 0) {
  return Partition{reserved, -reserved, blocks, nullptr, 0};
}

}  // namespace blocks
