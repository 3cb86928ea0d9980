// Partitions of the state indices into consecutive blocks, and the one-way
// request that rebuilds the storage as the grid of blocks of two partitions.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "statespace/BlockAccessFailure.h"
#include "statespace/FlatStateLevel.h"

namespace {

// Block k holds the indices floor(n*k/B) .. floor(n*(k+1)/B) - 1.
void fillPartition(Partition& p, int states) {
  // A count below one would divide by zero.
  if (p.requested_blocks < 1) {
    std::fprintf(stderr, "A partition needs at least one block, not %d.\n", p.requested_blocks);
    std::exit(1);
  }
  p.block_count = p.requested_blocks;
  // Counted in 64 bits: a count of INT_MAX blocks still has INT_MAX + 1 boundaries.
  p.boundaries = new int[static_cast<std::size_t>(p.block_count) + 1];
  for (std::int64_t i = 0; i <= p.block_count; ++i) {
    p.boundaries[i] = static_cast<int>(static_cast<std::int64_t>(states) * i / p.block_count);
  }
}

// The state level's own copy of a partition that the caller keeps.
Partition ownCopy(const Partition& p) {
  Partition copy = p;
  copy.boundaries = new int[static_cast<std::size_t>(p.block_count) + 1];
  for (std::int64_t i = 0; i <= p.block_count; ++i) copy.boundaries[i] = p.boundaries[i];
  return copy;
}

}  // namespace

void FlatStateLevel::getRowPartition(Partition& p) { fillPartition(p, state_count); }
void FlatStateLevel::getColPartition(Partition& p) { fillPartition(p, state_count); }

void FlatStateLevel::getSubMatrixPartition(Partition& p1, Partition& p2) {
  // The line storage the blocks are built from is gone after the first build.
  if (block_access) fail_block_rebuild();
  getRowPartition(p2);
  getRowPartition(p1);
  minor_partition = ownCopy(p2);
  major_partition = ownCopy(p1);
  transformDSForBlockAccess();
}
