// A state level that is not the flat one: it serves a list of entries through
// the abstract column and all-entries traversals, so that the solvers run
// their generic (virtual-call) path. Columns deliver their entries in
// ascending row order, as the flat state level does. It has no PVs.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "statespace/BaseStateLevel.h"

struct ChainEntry {
  int row;
  int col;
  double rate;
};

class EntryListStateLevel final : public BaseStateLevel {
 public:
  EntryListStateLevel(int states, std::vector<ChainEntry> entries)
      : n_(states), entries_(std::move(entries)) {
    std::stable_sort(entries_.begin(), entries_.end(), [](const ChainEntry& a, const ChainEntry& b) {
      return a.col != b.col ? a.col < b.col : a.row < b.row;
    });
  }

  const std::vector<ChainEntry>& entries() const { return entries_; }

  class EntryEdge final : public Edge {
   public:
    int& row() override { return r; }
    int& col() override { return c; }
    double& rate() override { return q; }
    std::uint32_t& label() override { return l; }
    int r = 0;
    int c = 0;
    double q = 0;
    std::uint32_t l = 0;
  };

  class RangeIterator final : public EdgeBaseIterator {
   public:
    Iterator& operator++() override {
      ++pos;
      return *this;
    }
    bool end() override { return pos == last; }
    Iterator& operator=(const Iterator& other) override {
      const auto& o = static_cast<const RangeIterator&>(other);
      pos = o.pos;
      last = o.last;
      return *this;
    }
    Edge* operator->() override {
      edge.r = pos->row;
      edge.c = pos->col;
      edge.q = pos->rate;
      return &edge;
    }
    void next(EdgeBuffer& buf) override {
      ++pos;
      fill(buf);
    }
    void fill(EdgeBuffer& buf) {
      buf.end = pos == last;
      if (!buf.end) {
        buf.row = pos->row;
        buf.col = pos->col;
        buf.rate = pos->rate;
      }
    }
    const ChainEntry* pos = nullptr;
    const ChainEntry* last = nullptr;
    EntryEdge edge;
  };

  // Designates the entries [first, last) of the column-sorted list.
  class Range final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override {
      auto* r = static_cast<RangeIterator*>(it);
      r->pos = first;
      r->last = last;
    }
    void begin(Iterator* it, EdgeBuffer& buf) override {
      begin(it);
      static_cast<RangeIterator*>(it)->fill(buf);
    }
    const ChainEntry* first = nullptr;
    const ChainEntry* last = nullptr;
  };

  int getNumberOfStates() override { return n_; }
  int getInitialState() override { return 0; }
  int getNumberOfPVs() override { return 0; }
  const char* getPVName(int) override { throw std::logic_error("no PVs"); }

  void getAllEdges(EdgeBaseContainer* c) override {
    auto* r = static_cast<Range*>(c);
    r->first = entries_.data();
    r->last = entries_.data() + entries_.size();
  }
  void allocateAllEdgesContainer(EdgeBaseContainer*& c) override { c = new Range; }
  void deallocateAllEdgesContainer(EdgeBaseContainer* c) override { delete c; }
  void allocateAllEdgesIterator(EdgeBaseIterator*& it) override { it = new RangeIterator; }
  void deallocateAllEdgesIterator(EdgeBaseIterator* it) override { delete it; }

  void getColumn(int j, EdgeBaseContainer* c) override {
    auto* r = static_cast<Range*>(c);
    const auto lower = std::lower_bound(entries_.begin(), entries_.end(), j,
                                        [](const ChainEntry& e, int col) { return e.col < col; });
    auto upper = lower;
    while (upper != entries_.end() && upper->col == j) ++upper;
    r->first = entries_.data() + (lower - entries_.begin());
    r->last = entries_.data() + (upper - entries_.begin());
  }
  void allocateColumnContainer(EdgeBaseContainer*& c) override { c = new Range; }
  void deallocateColumnContainer(EdgeBaseContainer* c) override { delete c; }
  void allocateColumnIterator(EdgeBaseIterator*& it) override { it = new RangeIterator; }
  void deallocateColumnIterator(EdgeBaseIterator* it) override { delete it; }

  // No PVs: the evaluation asks for a traversal it never uses.
  void getPV(PVBaseContainer*, int) override { throw std::logic_error("no PVs"); }
  void allocatePVContainer(PVBaseContainer*& c) override { c = nullptr; }
  void deallocatePVContainer(PVBaseContainer*) override {}
  void allocatePVIterator(PVBaseIterator*& it) override { it = nullptr; }
  void deallocatePVIterator(PVBaseIterator*) override {}

  // Not used by the solvers.
  void getRow(int, EdgeBaseContainer*) override { unused(); }
  void allocateRowContainer(EdgeBaseContainer*&) override { unused(); }
  void deallocateRowContainer(EdgeBaseContainer*) override { unused(); }
  void allocateRowIterator(EdgeBaseIterator*&) override { unused(); }
  void deallocateRowIterator(EdgeBaseIterator*) override { unused(); }
  void getRowPartition(Partition&) override { unused(); }
  void getColPartition(Partition&) override { unused(); }
  void getSubMatrixPartition(Partition&, Partition&) override { unused(); }
  void getSubMatrix(int, int, int, int, EdgeBaseContainer*) override { unused(); }
  void allocateSubMatrixContainer(EdgeBaseContainer*&) override { unused(); }
  void deallocateSubMatrixContainer(EdgeBaseContainer*) override { unused(); }
  void allocateSubMatrixIterator(EdgeBaseIterator*&) override { unused(); }
  void deallocateSubMatrixIterator(EdgeBaseIterator*) override { unused(); }

 private:
  [[noreturn]] static void unused() { throw std::logic_error("not used by the solvers"); }

  int n_;
  std::vector<ChainEntry> entries_;
};
