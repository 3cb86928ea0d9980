// Building the block storage and walking its blocks, and the range
// traversal over the line storage that the build uses.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BlockTestSupport.h"
#include "TestChains.h"

namespace blocks {
namespace {

struct Grid {
  int major_blocks;
  int minor_blocks;
};

// Builds the block storage of `grid` and checks every block against the
// entries of `expected` in the block's range, in the same order; returns the
// union of all blocks.
Entries checkEveryBlock(FlatStateLevel& level, Grid grid, const Entries& expected) {
  Partition p1 = request(grid.major_blocks);
  Partition p2 = request(grid.minor_blocks);
  level.getSubMatrixPartition(p1, p2);
  EXPECT_TRUE(level.block_access);

  BaseStateLevel::EdgeBaseContainer* sm = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level.allocateSubMatrixContainer(sm);
  level.allocateSubMatrixIterator(it);
  Entries all;
  for (int f = 0; f < p1.block_count; ++f) {
    for (int t = 0; t < p2.block_count; ++t) {
      const int a = p1.boundaries[f], b = p1.boundaries[f + 1];
      const int c = p2.boundaries[t], d = p2.boundaries[t + 1];
      SCOPED_TRACE(testing::Message() << "block [" << a << "," << b << ") x [" << c << "," << d << ")");
      level.getSubMatrix(a, b, c, d, sm);
      const Entries got = byBuffer(sm, it);
      EXPECT_EQ(got, inRange(expected, a, b, c, d));
      EXPECT_EQ(byPointer(sm, it), got);
      all.insert(all.end(), got.begin(), got.end());
    }
  }
  level.deallocateSubMatrixContainer(sm);
  level.deallocateSubMatrixIterator(it);
  delete[] p1.boundaries;
  delete[] p2.boundaries;
  return all;
}

Entries sorted(Entries entries) {
  std::sort(entries.begin(), entries.end());
  return entries;
}

const Grid kGrids[] = {{1, 1}, {2, 3}, {3, 2}, {3, 3}, {5, 7}, {1, 24}, {24, 1}, {24, 24}};

TEST(BlockStorage, BlocksOverColumnsHoldExactlyTheEntriesOfTheAllEntriesTraversal) {
  const struct {
    const char* name;
    Chain chain;
  } chains[] = {{"shaped", shapedChain()}, {"random", randomChain()}};
  for (const auto& [name, chain] : chains) {
    ScratchDir dir;
    for (const Grid& grid : kGrids) {
      if (grid.major_blocks > chain.states || grid.minor_blocks > chain.states) continue;
      SCOPED_TRACE(testing::Message() << name << " chain, grid " << grid.major_blocks << "x"
                                      << grid.minor_blocks);
      auto level = chain.load(dir);
      const Entries before = allEntries(*level);
      // The traversal itself agrees with the file: column by column, rows
      // ascending, repeated entries in file order.
      ASSERT_EQ(before, inBlockOrder(chain.file_entries));
      const Entries all = checkEveryBlock(*level, grid, before);
      EXPECT_EQ(sorted(all), sorted(before));
    }
  }
}

TEST(BlockStorage, BlocksOverRowsListedOutOfOrderLoseNoEntry) {
  // Without a column access first the major lines are the rows, written in
  // descending column order; blocks then take each row as their column.
  const Chain chain = shapedChain();
  const Entries expected = inBlockOrder(transposed(chain.file_entries));
  ScratchDir dir;
  for (const Grid& grid : {Grid{2, 3}, Grid{3, 2}, Grid{24, 24}}) {
    SCOPED_TRACE(testing::Message() << "grid " << grid.major_blocks << "x" << grid.minor_blocks);
    auto level = chain.load(dir);
    ASSERT_EQ(level->orientation, ROW_ORIENTED);
    const Entries all = checkEveryBlock(*level, grid, expected);
    EXPECT_EQ(sorted(all), sorted(expected));
  }
}

TEST(BlockStorage, EmptyBlockEndsAtBeginAndHasNoArrays) {
  // Columns 22 and 23 of the shaped chain are empty.
  ScratchDir dir;
  auto level = shapedChain().load(dir);
  allEntries(*level);
  Partition p1 = request(12);  // 0, 2, ..., 22, 24
  Partition p2 = request(2);
  level->getSubMatrixPartition(p1, p2);
  const int last_major = 11;
  for (int t = 0; t < 2; ++t) {
    const int b = t * 12 + last_major;
    EXPECT_EQ(level->block_size[b], 0);
    EXPECT_EQ(level->block_rates[b], nullptr);
    EXPECT_EQ(level->block_cols[b], nullptr);
    EXPECT_EQ(level->block_rows[b], nullptr);
  }

  BaseStateLevel::EdgeBaseContainer* sm = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateSubMatrixContainer(sm);
  level->allocateSubMatrixIterator(it);
  level->getSubMatrix(22, 24, 12, 24, sm);
  EdgeBuffer buf{-7, -8, -9.0, 0, false};
  sm->begin(it, buf);
  EXPECT_TRUE(buf.end);
  EXPECT_EQ(buf.row, -7);
  EXPECT_EQ(buf.col, -8);
  EXPECT_EQ(buf.rate, -9.0);
  sm->begin(it);
  EXPECT_TRUE(it->end());
  level->deallocateSubMatrixContainer(sm);
  level->deallocateSubMatrixIterator(it);
  delete[] p1.boundaries;
  delete[] p2.boundaries;
}

TEST(BlockStorage, MoreMajorBlocksThanStatesLeaveEmptyAndUnlocatableBlocks) {
  // Three states in five major blocks: boundaries 0, 0, 1, 1, 2, 3. The
  // blocks [0,0) and [1,1) are empty and found; [2,3) is found with column
  // 2 of the three-state chain, row 0 with rate 1.25.
  ScratchDir dir;
  auto level = std::make_unique<FlatStateLevel>(
      StateSpaceFiles{kThreeStateArm, kTwoPVVar, kTwoPVType}.writeTo(dir));
  allEntries(*level);
  Partition p1 = request(5);
  Partition p2 = request(1);
  level->getSubMatrixPartition(p1, p2);
  EXPECT_EQ(std::vector<int>(p1.boundaries, p1.boundaries + 6), (std::vector<int>{0, 0, 1, 1, 2, 3}));

  BaseStateLevel::EdgeBaseContainer* sm = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateSubMatrixContainer(sm);
  level->allocateSubMatrixIterator(it);
  level->getSubMatrix(0, 0, 0, 3, sm);
  EXPECT_EQ(byBuffer(sm, it), Entries{});
  level->getSubMatrix(1, 1, 0, 3, sm);
  EXPECT_EQ(byBuffer(sm, it), Entries{});
  level->getSubMatrix(2, 3, 0, 3, sm);
  EXPECT_EQ(byBuffer(sm, it), (Entries{{0, 2, 1.25}}));
  level->deallocateSubMatrixContainer(sm);
  level->deallocateSubMatrixIterator(it);
  delete[] p1.boundaries;
  delete[] p2.boundaries;
}

TEST(BlockStorage, AssignedIteratorsContinueFromTheSamePosition) {
  ScratchDir dir;
  auto level = shapedChain().load(dir);
  const Entries before = allEntries(*level);
  const Entries column9 = inRange(before, 9, 10, 0, 24);
  ASSERT_GE(column9.size(), 3u);
  const Entries tail(column9.begin() + 2, column9.end());

  // Walks `c` from the second entry on with `first`, then continues with
  // `second` assigned from it; moving `second` must not move `first`.
  const auto check = [&](BaseStateLevel::EdgeBaseContainer* c, BaseStateLevel::EdgeBaseIterator* first,
                         BaseStateLevel::EdgeBaseIterator* second) {
    c->begin(first);
    ++*first;
    ++*first;
    static_cast<BaseStateLevel::Iterator&>(*second) = *first;
    Entries from_second;
    for (; !second->end(); ++*second) {
      Edge* e = second->operator->();
      from_second.emplace_back(e->row(), e->col(), e->rate());
    }
    EXPECT_EQ(from_second, tail);
    Edge* e = first->operator->();
    EXPECT_EQ(Entry(e->row(), e->col(), e->rate()), tail.front());
  };

  BaseStateLevel::EdgeBaseContainer* aux = nullptr;
  BaseStateLevel::EdgeBaseIterator* aux_first = nullptr;
  BaseStateLevel::EdgeBaseIterator* aux_second = nullptr;
  level->allocateSubMatrixAuxContainer(aux);
  level->allocateSubMatrixAuxIterator(aux_first);
  level->allocateSubMatrixAuxIterator(aux_second);
  level->getSubMatrixAux(9, 10, 0, 24, aux);
  check(aux, aux_first, aux_second);
  level->deallocateSubMatrixAuxContainer(aux);
  level->deallocateSubMatrixAuxIterator(aux_first);
  level->deallocateSubMatrixAuxIterator(aux_second);

  Partition p1 = request(24);
  Partition p2 = request(1);
  level->getSubMatrixPartition(p1, p2);
  BaseStateLevel::EdgeBaseContainer* sm = nullptr;
  BaseStateLevel::EdgeBaseIterator* first = nullptr;
  BaseStateLevel::EdgeBaseIterator* second = nullptr;
  level->allocateSubMatrixContainer(sm);
  level->allocateSubMatrixIterator(first);
  level->allocateSubMatrixIterator(second);
  level->getSubMatrix(9, 10, 0, 24, sm);
  check(sm, first, second);
  level->deallocateSubMatrixContainer(sm);
  level->deallocateSubMatrixIterator(first);
  level->deallocateSubMatrixIterator(second);
  delete[] p1.boundaries;
  delete[] p2.boundaries;
}

TEST(BlockStorage, BlockModeKeepsStatesPVsAndPartitions) {
  ScratchDir dir;
  auto level = shapedChain().load(dir);
  allEntries(*level);
  Partition p1 = request(3);
  Partition p2 = request(4);
  level->getSubMatrixPartition(p1, p2);
  EXPECT_EQ(level->rates, nullptr);
  EXPECT_EQ(level->minor_index, nullptr);
  EXPECT_EQ(level->major_size, nullptr);
  EXPECT_EQ(level->line_storage.chunkCount(), 0u);

  EXPECT_EQ(level->getNumberOfStates(), 24);
  EXPECT_EQ(level->getInitialState(), 0);
  Partition again = request(3);
  level->getColPartition(again);
  EXPECT_EQ(std::vector<int>(again.boundaries, again.boundaries + 4), (std::vector<int>{0, 8, 16, 24}));

  BaseStateLevel::PVBaseContainer* pv = nullptr;
  BaseStateLevel::PVBaseIterator* pit = nullptr;
  level->allocatePVContainer(pv);
  level->allocatePVIterator(pit);
  level->getPV(pv, 0);
  PVBuffer buf{};
  int states = 0;
  double total = 0;
  for (pv->begin(pit, buf); !buf.end; pit->next(buf)) {
    ++states;
    total += buf.first + buf.second;
  }
  EXPECT_EQ(states, 24);
  EXPECT_EQ(total, 1.0);
  level->deallocatePVContainer(pv);
  level->deallocatePVIterator(pit);
  delete[] again.boundaries;
  delete[] p1.boundaries;
  delete[] p2.boundaries;
}

// The range traversal straight over column storage, for ranges that need
// not be blocks.
TEST(SubMatrixAux, RangesOfTheLineStorage) {
  struct Range {
    const char* what;
    int a, b, c, d;
  };
  const Range ranges[] = {
      {"everything", 0, 24, 0, 24},
      {"16-entry column, lower rows", 3, 4, 0, 12},
      {"16-entry column, upper rows", 3, 4, 12, 24},
      {"16-entry column, rows after its last", 3, 4, 17, 24},
      {"15-entry column, lower rows", 5, 6, 0, 12},
      {"15-entry column, upper rows", 5, 6, 12, 24},
      {"15-entry column, rows before its first", 5, 6, 0, 7},
      {"15-entry column, its last row only", 5, 6, 21, 22},
      {"repeated row in a long column", 9, 10, 12, 13},
      {"long column above the repeated row", 9, 10, 0, 12},
      {"repeated rows in a short column", 20, 21, 8, 16},
      {"empty row range", 0, 24, 5, 5},
      {"empty columns only", 22, 24, 0, 24},
      {"rows beyond the states", 0, 24, 24, 30},
      {"an arbitrary window", 2, 12, 3, 20},
  };
  ScratchDir dir;
  auto level = shapedChain().load(dir);
  const Entries before = allEntries(*level);
  ASSERT_EQ(inRange(before, 3, 4, 0, 24).size(), 16u);
  ASSERT_EQ(inRange(before, 5, 6, 0, 24).size(), 15u);

  BaseStateLevel::EdgeBaseContainer* aux = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateSubMatrixAuxContainer(aux);
  level->allocateSubMatrixAuxIterator(it);
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.what);
    const Entries expected = inRange(before, r.a, r.b, r.c, r.d);
    level->getSubMatrixAux(r.a, r.b, r.c, r.d, aux);
    EXPECT_EQ(byBuffer(aux, it), expected);
    EXPECT_EQ(byPointer(aux, it), expected);

    // The stand-alone edge walks the same entries.
    FlatStateLevel::SubMatrixAuxEdge edge;
    Entries walked;
    for (edge.init(level.get(), static_cast<FlatStateLevel::SubMatrixAux*>(aux)); !edge.at_end;
         edge.nextEdge()) {
      walked.emplace_back(edge.row(), edge.col(), edge.rate());
    }
    EXPECT_EQ(walked, expected);
  }
  level->deallocateSubMatrixAuxContainer(aux);
  level->deallocateSubMatrixAuxIterator(it);
}

}  // namespace
}  // namespace blocks
