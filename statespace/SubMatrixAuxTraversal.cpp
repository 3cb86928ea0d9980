// Walking a range of major lines and minor indices directly in the per-line
// storage: the traversal the block storage is built with. Each line's run of
// entries in range is found by a scan on short lines and by halving on lines
// of kHalvingLength entries or more.
#include <cstdio>
#include <cstdlib>

#include "statespace/FlatStateLevel.h"

namespace {

constexpr int kHalvingLength = 16;

// The first position in low..size-1 whose minor index is at least `key`,
// or `size` when there is none. Repeated indices are possible (a row may
// name a column twice), so an exact hit does not end the search: the first
// of equal indices is the one wanted.
int firstAtLeast(const int* minor, int low, int size, int key) {
  int high = size - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    if (key <= minor[mid]) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

}  // namespace

void FlatStateLevel::SubMatrixAuxEdge::update_end_flag() {
  const int major_end = aux->major_end;
  const int minor_begin = aux->minor_begin;
  const int minor_end = aux->minor_end;
  const int* sizes = level->major_size.get();
  for (; line < major_end; ++line) {
    const int size = sizes[line];
    if (size == 0) continue;
    int* minor = level->minor_index[line];
    int p = 0;
    int q = 0;
    if (size >= kHalvingLength) {
      p = firstAtLeast(minor, 0, size, minor_begin);
      if (p == size) continue;
      q = firstAtLeast(minor, p, size, minor_end);
    } else {
      while (p < size && minor[p] < minor_begin) ++p;
      if (p == size || minor[p] >= minor_end) continue;
      q = p + 1;
      while (q < size && minor[q] < minor_end) ++q;
    }
    if (q > p) {
      remaining = q - p;
      minor_pos = minor + p;
      rate_pos = level->rates[line] + p;
      at_end = false;
      return;
    }
  }
  remaining = 0;
  at_end = true;
}

void FlatStateLevel::SubMatrixAuxEdge::init(BaseStateLevel* base, SubMatrixAux* range) {
  level = static_cast<FlatStateLevel*>(base);
  aux = range;
  if (level->block_access) {
    std::fputs("Line access is not available after the block storage has been built.\n", stderr);
    std::exit(1);
  }
  line = range->major_begin;
  remaining = 0;
  update_end_flag();
}

void FlatStateLevel::SubMatrixAuxEdge::nextEdge() {
  ++minor_pos;
  ++rate_pos;
  if (--remaining == 0) {
    ++line;
    update_end_flag();
  }
}

void FlatStateLevel::SubMatrixAux::begin(Iterator* it) {
  static_cast<SubMatrixAuxIterator*>(it)->edge.init(level, this);
}

void FlatStateLevel::SubMatrixAux::begin(Iterator* it, EdgeBuffer& buf) {
  SubMatrixAuxEdge& e = static_cast<SubMatrixAuxIterator*>(it)->edge;
  e.init(level, this);
  buf.end = e.at_end;
  if (!buf.end) {
    buf.row = *e.minor_pos;
    buf.col = e.line;
    buf.rate = *e.rate_pos;
  }
}

BaseStateLevel::Iterator& FlatStateLevel::SubMatrixAuxIterator::operator++() {
  edge.nextEdge();
  return *this;
}

void FlatStateLevel::SubMatrixAuxIterator::next(EdgeBuffer& buf) {
  edge.nextEdge();
  buf.end = edge.at_end;
  if (!buf.end) {
    buf.row = *edge.minor_pos;
    buf.col = edge.line;
    buf.rate = *edge.rate_pos;
  }
}

void FlatStateLevel::getSubMatrixAux(int a, int b, int c, int d, EdgeBaseContainer* aux) {
  SubMatrixAux* container = static_cast<SubMatrixAux*>(aux);
  container->major_begin = a;
  container->major_end = b;
  container->minor_begin = c;
  container->minor_end = d;
  container->level = this;
}

void FlatStateLevel::allocateSubMatrixAuxContainer(EdgeBaseContainer*& c) { c = new SubMatrixAux; }
void FlatStateLevel::deallocateSubMatrixAuxContainer(EdgeBaseContainer* c) { delete c; }
void FlatStateLevel::allocateSubMatrixAuxIterator(EdgeBaseIterator*& it) {
  it = new SubMatrixAuxIterator;
}
void FlatStateLevel::deallocateSubMatrixAuxIterator(EdgeBaseIterator* it) { delete it; }
