// Partitions of the state indices and sub-matrix containers. Building the
// block storage (transformDSForBlockAccess) and walking it are not part of
// this state level yet: until they are, the block storage never exists, and
// a sub-matrix traversal ends the run with the block-access message.
#include <cstdio>
#include <cstdint>
#include <cstdlib>

#include "statespace/FlatStateLevel.h"

namespace {

[[noreturn]] void failBlockAccess() {
  std::fputs(
      "There has been an access to a block for which the optimized data structure has not been "
      "computed.\n",
      stdout);
  std::exit(1);
}

void fillPartition(Partition& p, int states) {
  p.block_count = p.requested_blocks;
  p.boundaries = new int[p.block_count + 1];
  for (int i = 0; i <= p.block_count; ++i) {
    p.boundaries[i] = static_cast<int>(static_cast<std::int64_t>(states) * i / p.block_count);
  }
}

}  // namespace

void FlatStateLevel::getRowPartition(Partition& p) { fillPartition(p, state_count); }
void FlatStateLevel::getColPartition(Partition& p) { fillPartition(p, state_count); }

void FlatStateLevel::getSubMatrixPartition(Partition& p1, Partition& p2) {
  getRowPartition(p2);
  getRowPartition(p1);
  transformDSForBlockAccess();
}

void FlatStateLevel::transformDSForBlockAccess() {
  std::fputs("Block storage cannot be built by this state level.\n", stderr);
  std::exit(1);
}

void FlatStateLevel::getSubMatrix(int a, int b, int c, int d, EdgeBaseContainer* sm) {
  SubMatrix* container = static_cast<SubMatrix*>(sm);
  container->major_begin = a;
  container->major_end = b;
  container->minor_begin = c;
  container->minor_end = d;
  container->level = this;
}

void FlatStateLevel::allocateSubMatrixContainer(EdgeBaseContainer*& c) { c = new SubMatrix; }
void FlatStateLevel::deallocateSubMatrixContainer(EdgeBaseContainer* c) { delete c; }
void FlatStateLevel::allocateSubMatrixIterator(EdgeBaseIterator*& it) { it = new SubMatrixIterator; }
void FlatStateLevel::deallocateSubMatrixIterator(EdgeBaseIterator* it) { delete it; }

void FlatStateLevel::SubMatrix::begin(Iterator* it) {
  static_cast<SubMatrixIterator*>(it)->edge.init(level, this);
}

void FlatStateLevel::SubMatrix::begin(Iterator* it, EdgeBuffer&) { begin(it); }

void FlatStateLevel::SubMatrixEdge::init(BaseStateLevel*, SubMatrix*) { failBlockAccess(); }
