// Block access that cannot be served ends the process with a message and
// exit status 1. Each case runs in a forked child whose streams are captured.
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "BlockTestSupport.h"
#include "TestChains.h"

namespace blocks {
namespace {

const std::string kBlockMessage =
    "There has been an access to a block for which the optimized data structure has not been "
    "computed.\n";
const std::string kLineMessage = "Line access is not available after the block storage has been built.\n";

// Loads the chain in the child, switches it to columns and, when
// `major_blocks` is not 0, builds the block storage of that grid.
std::unique_ptr<FlatStateLevel> prepare(const ScratchDir& dir, bool three_states, int major_blocks,
                                        int minor_blocks) {
  auto level = three_states
                   ? std::make_unique<FlatStateLevel>(
                         StateSpaceFiles{kThreeStateArm, kTwoPVVar, kTwoPVType}.writeTo(dir))
                   : shapedChain().load(dir);
  allEntries(*level);
  if (major_blocks != 0) {
    Partition p1 = request(major_blocks);
    Partition p2 = request(minor_blocks);
    level->getSubMatrixPartition(p1, p2);
    delete[] p1.boundaries;
    delete[] p2.boundaries;
  }
  return level;
}

TEST(BlockAccessFailure, BlockThatCannotBeLocated) {
  const struct {
    const char* what;
    bool three_states;
    int major_blocks, minor_blocks;  // 0: storage never built
    bool point;                      // false: the container is never pointed
    int a, b, c, d;
  } cases[] = {
      {"storage never built", false, 0, 0, true, 0, 8, 0, 8},
      {"range straddles two major blocks", false, 3, 3, true, 4, 12, 0, 8},
      {"range straddles two minor blocks", false, 3, 3, true, 0, 8, 4, 12},
      {"range is part of one block", false, 3, 3, true, 0, 4, 0, 8},
      {"range covers two blocks", false, 3, 3, true, 0, 16, 0, 8},
      {"container never pointed", false, 3, 3, false, 0, 0, 0, 0},
      // Three states in five major blocks: 0, 0, 1, 1, 2, 3.
      {"block starting where an earlier one starts", true, 5, 1, true, 0, 1, 0, 3},
      {"another such block", true, 5, 1, true, 1, 2, 0, 3},
      {"empty range past the last block", true, 5, 1, true, 3, 3, 0, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const ChildOutcome outcome = runInChild([&] {
      auto level = prepare(dir, c.three_states, c.major_blocks, c.minor_blocks);
      BaseStateLevel::EdgeBaseContainer* sm = nullptr;
      BaseStateLevel::EdgeBaseIterator* it = nullptr;
      level->allocateSubMatrixContainer(sm);
      level->allocateSubMatrixIterator(it);
      if (c.point) level->getSubMatrix(c.a, c.b, c.c, c.d, sm);
      EdgeBuffer buf{};
      sm->begin(it, buf);
    });
    EXPECT_EQ(outcome.exit_status, 1);
    EXPECT_EQ(outcome.out, kBlockMessage);
    EXPECT_EQ(outcome.err, "");
  }
}

TEST(BlockAccessFailure, LineAccessAfterTheBuild) {
  using Access = std::function<void(FlatStateLevel&)>;
  const struct {
    const char* what;
    Access access;
  } cases[] = {
      {"getRow",
       [](FlatStateLevel& level) {
         BaseStateLevel::EdgeBaseContainer* c = nullptr;
         level.allocateRowContainer(c);
         level.getRow(0, c);
       }},
      {"getColumn",
       [](FlatStateLevel& level) {
         BaseStateLevel::EdgeBaseContainer* c = nullptr;
         level.allocateColumnContainer(c);
         level.getColumn(0, c);
       }},
      {"getAllEdges", [](FlatStateLevel& level) { allEntries(level); }},
      {"switch to rows", [](FlatStateLevel& level) { level.switch_orientation(ROW_ORIENTED); }},
      {"range traversal",
       [](FlatStateLevel& level) {
         BaseStateLevel::EdgeBaseContainer* aux = nullptr;
         BaseStateLevel::EdgeBaseIterator* it = nullptr;
         level.allocateSubMatrixAuxContainer(aux);
         level.allocateSubMatrixAuxIterator(it);
         level.getSubMatrixAux(0, 24, 0, 24, aux);
         aux->begin(it);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const ChildOutcome outcome = runInChild([&] {
      auto level = prepare(dir, false, 2, 2);
      c.access(*level);
    });
    EXPECT_EQ(outcome.exit_status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, kLineMessage);
  }
}

TEST(BlockAccessFailure, PartitionRequestsThatCannotBeServed) {
  const struct {
    const char* what;
    std::function<void(FlatStateLevel&)> request_partitions;
    std::string message;
  } cases[] = {
      {"a second build, with no line storage left",
       [](FlatStateLevel& level) {
         Partition p1 = request(2);
         Partition p2 = request(2);
         level.getSubMatrixPartition(p1, p2);
         level.getSubMatrixPartition(p1, p2);
       },
       "The block storage has already been built; it cannot be built again.\n"},
      {"no blocks requested",
       [](FlatStateLevel& level) {
         Partition p = request(0);
         level.getRowPartition(p);
       },
       "A partition needs at least one block, not 0.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const ChildOutcome outcome = runInChild([&] {
      auto level = prepare(dir, false, 0, 0);
      c.request_partitions(*level);
    });
    EXPECT_EQ(outcome.exit_status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.message);
  }
}

}  // namespace
}  // namespace blocks
