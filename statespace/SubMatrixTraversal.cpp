// Walking one block of the block storage: locating the block that a
// sub-matrix container designates, and creating and destroying the
// containers and iterators. The per-entry step is inline in the header.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "statespace/BlockAccessFailure.h"
#include "statespace/FlatStateLevel.h"

namespace {

// The block of a partition of n indices into `blocks` blocks that begins at
// `begin` and ends at `end`, or -1 when [begin, end) is not one block. The
// candidate is the first block whose start is not below `begin`; when
// several blocks start at the same index, only the first can be found.
int blockOf(int begin, int end, int n, int blocks) {
  const double candidate = std::ceil(static_cast<double>(begin) * blocks / n);
  if (!(candidate >= 0 && candidate < blocks)) return -1;
  const int k = static_cast<int>(candidate);
  const auto bound = [n, blocks](int i) {
    return static_cast<int>(static_cast<std::int64_t>(n) * i / blocks);
  };
  if (bound(k) != begin || bound(k + 1) != end) return -1;
  return k;
}

}  // namespace

void FlatStateLevel::SubMatrixEdge::init(BaseStateLevel* base, SubMatrix* sm) {
  level = static_cast<FlatStateLevel*>(base);
  sub_matrix = sm;
  if (level == nullptr || !level->block_access) fail_block_access();
  const int n = level->getNumberOfStates();
  const int F = level->major_partition.block_count;
  const int T = level->minor_partition.block_count;
  const int f = blockOf(sm->major_begin, sm->major_end, n, F);
  const int t = blockOf(sm->minor_begin, sm->minor_end, n, T);
  if (f < 0 || t < 0) fail_block_access();
  const std::size_t b = static_cast<std::size_t>(t) * F + f;
  remaining = level->block_size[b];
  col_pos = level->block_cols[b].get();
  row_pos = level->block_rows[b].get();
  rate_pos = level->block_rates[b].get();
}

void FlatStateLevel::SubMatrix::begin(Iterator* it) {
  static_cast<SubMatrixIterator*>(it)->edge.init(level, this);
}

void FlatStateLevel::SubMatrix::begin(Iterator* it, EdgeBuffer& buf) {
  SubMatrixEdge& e = static_cast<SubMatrixIterator*>(it)->edge;
  e.init(level, this);
  buf.end = e.remaining == 0;
  if (!buf.end) {
    buf.row = *e.row_pos;
    buf.col = *e.col_pos;
    buf.rate = *e.rate_pos;
  }
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
void FlatStateLevel::allocateSubMatrixIterator(EdgeBaseIterator*& it) {
  it = new SubMatrixIterator;
}
void FlatStateLevel::deallocateSubMatrixIterator(EdgeBaseIterator* it) { delete it; }
