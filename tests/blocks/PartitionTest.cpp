// Dividing the state indices into consecutive blocks.
#include <vector>

#include <gtest/gtest.h>

#include "BlockTestSupport.h"
#include "TestChains.h"

namespace blocks {
namespace {

std::vector<int> boundariesOf(const Partition& p) {
  return std::vector<int>(p.boundaries, p.boundaries + p.block_count + 1);
}

TEST(Partition, BoundariesAreFloorsOfEvenShares) {
  const struct {
    int states;
    int blocks;
    std::vector<int> boundaries;
  } cases[] = {
      {10, 3, {0, 3, 6, 10}},
      {7, 2, {0, 3, 7}},
      {7, 1, {0, 7}},
      {6, 6, {0, 1, 2, 3, 4, 5, 6}},
      {3, 5, {0, 0, 1, 1, 2, 3}},  // more blocks than states
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.states << " states in " << c.blocks << " blocks");
    ScratchDir dir;
    auto level = chainFromRows(std::vector<std::vector<int>>(c.states)).load(dir);
    Partition rows = request(c.blocks);
    Partition cols = request(c.blocks);
    level->getRowPartition(rows);
    level->getColPartition(cols);
    EXPECT_EQ(rows.block_count, c.blocks);
    EXPECT_EQ(boundariesOf(rows), c.boundaries);
    EXPECT_EQ(boundariesOf(cols), c.boundaries);
    delete[] rows.boundaries;
    delete[] cols.boundaries;
  }
}

TEST(Partition, SubMatrixPartitionFillsBothAndKeepsItsOwnCopies) {
  ScratchDir dir;
  auto level = chainFromRows(std::vector<std::vector<int>>(10)).load(dir);
  Partition p1 = request(3, 11);
  Partition p2 = request(2, 22);
  level->getSubMatrixPartition(p1, p2);

  EXPECT_EQ(boundariesOf(p1), (std::vector<int>{0, 3, 6, 10}));
  EXPECT_EQ(boundariesOf(p2), (std::vector<int>{0, 5, 10}));
  // The first partition divides the major lines, the second the minor indices.
  const Partition& major = level->major_partition;
  const Partition& minor = level->minor_partition;
  EXPECT_EQ(major.reserved1, 11);
  EXPECT_EQ(major.reserved2, -11);
  EXPECT_EQ(major.requested_blocks, 3);
  EXPECT_EQ(boundariesOf(major), boundariesOf(p1));
  EXPECT_EQ(minor.reserved1, 22);
  EXPECT_EQ(minor.reserved2, -22);
  EXPECT_EQ(boundariesOf(minor), boundariesOf(p2));
  EXPECT_NE(major.boundaries, p1.boundaries);
  EXPECT_NE(minor.boundaries, p2.boundaries);

  // The caller's arrays are the caller's: releasing them leaves the copies.
  delete[] p1.boundaries;
  delete[] p2.boundaries;
  EXPECT_EQ(boundariesOf(major), (std::vector<int>{0, 3, 6, 10}));
}

}  // namespace
}  // namespace blocks
