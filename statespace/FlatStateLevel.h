// The state level over the flat state-space files: the generator matrix held
// by major lines (rows or columns, see `orientation`) in exact-size arrays,
// the PV names and per-state reward values, and the containers, iterators
// and edges that walk them in place.
//
// The iterator classes are final and their steps are defined inline here, so
// a solver that has found the concrete iterator once (dynamic_cast) gets the
// per-entry step inlined instead of a virtual call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "statespace/BaseStateLevel.h"
#include "statespace/LineStorage.h"

// What the major lines of the storage are at present.
enum TOrientation { ROW_ORIENTED = 0, COLUMN_ORIENTED = 1 };

class FlatStateLevel : public BaseStateLevel {
 public:
  // ---- edges: accessors of the current entry, living inside iterators ----

  // Major lines read as rows: row() is the line, col() the minor index.
  class RowOrientedEdge final : public Edge {
   public:
    int& row() override { return line; }
    int& col() override { return *minor_pos; }
    double& rate() override { return *rate_pos; }
    std::uint32_t& label() override { return label_value; }
    // Positions the edge at the start of row `i` of a flat state level.
    void init(BaseStateLevel* level, int i);

    int remaining = 0;  // entries left on the line, the current one included
    int line = 0;
    int* minor_pos = nullptr;
    double* rate_pos = nullptr;
    std::uint32_t label_value = 0;
    FlatStateLevel* level = nullptr;
  };

  // Major lines read as columns: row() is the minor index, col() the line.
  class ColumnOrientedEdge final : public Edge {
   public:
    int& row() override { return *minor_pos; }
    int& col() override { return line; }
    double& rate() override { return *rate_pos; }
    std::uint32_t& label() override { return label_value; }
    // Positions the edge at the start of column `j` of a flat state level.
    void init(BaseStateLevel* level, int j);

    int remaining = 0;
    int line = 0;
    int* minor_pos = nullptr;
    double* rate_pos = nullptr;
    std::uint32_t label_value = 0;
    FlatStateLevel* level = nullptr;
  };

  // Walks every entry, column by column, skipping empty columns.
  class OrderlessEdge final : public Edge {
   public:
    int& row() override { return *minor_pos; }
    int& col() override { return line; }
    double& rate() override { return *rate_pos; }
    std::uint32_t& label() override { return label_value; }
    // Positions the edge at the first entry of `level`, or at the end.
    void init(BaseStateLevel* level);
    // Records the state level and its line count without searching.
    void setModel(BaseStateLevel* level);
    // Moves to the next entry, or to the end.
    void nextEdge() {
      ++minor_pos;
      ++rate_pos;
      if (--remaining == 0) findLineFrom(line + 1);
    }
    // Stops at the first line at or after `from` that has entries; sets
    // `at_end` when there is none. Reads no line at or beyond `line_count`.
    inline void findLineFrom(int from);

    int line_count = 0;
    int remaining = 0;
    bool at_end = true;
    int line = 0;
    int* minor_pos = nullptr;
    double* rate_pos = nullptr;
    std::uint32_t label_value = 0;
    FlatStateLevel* level = nullptr;
  };

  // ---- iterators ----

  class rowIterator final : public EdgeBaseIterator {
   public:
    rowIterator() = default;
    rowIterator& operator=(const rowIterator& other) {
      edge = other.edge;
      return *this;
    }
    Iterator& operator++() override {
      ++edge.minor_pos;
      ++edge.rate_pos;
      --edge.remaining;
      return *this;
    }
    bool end() override { return edge.remaining == 0; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const rowIterator&>(other);
    }
    Edge* operator->() override { return &edge; }
    void next(EdgeBuffer& buf) override {
      ++edge.minor_pos;
      ++edge.rate_pos;
      buf.end = --edge.remaining == 0;
      if (!buf.end) {
        buf.row = edge.line;
        buf.col = *edge.minor_pos;
        buf.rate = *edge.rate_pos;
      }
    }

    RowOrientedEdge edge;
  };

  class columnIterator final : public EdgeBaseIterator {
   public:
    columnIterator() = default;
    columnIterator& operator=(const columnIterator& other) {
      edge = other.edge;
      return *this;
    }
    Iterator& operator++() override {
      ++edge.minor_pos;
      ++edge.rate_pos;
      --edge.remaining;
      return *this;
    }
    bool end() override { return edge.remaining == 0; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const columnIterator&>(other);
    }
    Edge* operator->() override { return &edge; }
    void next(EdgeBuffer& buf) override {
      ++edge.minor_pos;
      ++edge.rate_pos;
      buf.end = --edge.remaining == 0;
      if (!buf.end) {
        buf.row = *edge.minor_pos;
        buf.col = edge.line;
        buf.rate = *edge.rate_pos;
      }
    }

    ColumnOrientedEdge edge;
  };

  class allEdgesIterator final : public EdgeBaseIterator {
   public:
    allEdgesIterator() = default;
    allEdgesIterator& operator=(const allEdgesIterator& other) {
      edge = other.edge;
      return *this;
    }
    Iterator& operator++() override {
      edge.nextEdge();
      return *this;
    }
    bool end() override { return edge.at_end; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const allEdgesIterator&>(other);
    }
    Edge* operator->() override { return &edge; }
    void next(EdgeBuffer& buf) override {
      edge.nextEdge();
      buf.end = edge.at_end;
      if (!buf.end) {
        buf.row = *edge.minor_pos;
        buf.col = edge.line;
        buf.rate = *edge.rate_pos;
      }
    }

    OrderlessEdge edge;
  };

  class PVIterator final : public PVBaseIterator {
   public:
    PVIterator() = default;
    PVIterator& operator=(const PVIterator& other) {
      current = other.current;
      stop = other.stop;
      return *this;
    }
    Iterator& operator++() override {
      ++current;
      return *this;
    }
    bool end() override { return current == stop; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const PVIterator&>(other);
    }
    PVPair* operator->() override { return current; }
    PVPair& operator*() override { return *current; }
    void next(PVBuffer& buf) override {
      ++current;
      buf.end = current == stop;
      if (!buf.end) {
        buf.first = current->first;
        buf.second = current->second;
      }
    }

    PVPair* current = nullptr;  // the current pair
    PVPair* stop = nullptr;     // one past the last pair
  };

  // ---- containers ----

  class row final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, EdgeBuffer& buf) override;

    int line = 0;
    FlatStateLevel* level = nullptr;
  };

  class column final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, EdgeBuffer& buf) override;

    int line = 0;
    FlatStateLevel* level = nullptr;
  };

  class allEdges final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, EdgeBuffer& buf) override;

    FlatStateLevel* level = nullptr;
  };

  class PV final : public PVBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, PVBuffer& buf) override;
    void operator()(int state, PVBuffer& buf) override;

    FlatStateLevel* level = nullptr;
    PVPair* values = nullptr;
    int pv = 0;
  };

  // ---- block access (sub-matrices) ----

  // One block of the block storage: major lines [major_begin, major_end),
  // minor indices [minor_begin, minor_end).
  class SubMatrix final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, EdgeBuffer& buf) override;

    int major_begin = 0;
    int major_end = 0;
    int minor_begin = 0;
    int minor_end = 0;
    FlatStateLevel* level = nullptr;
  };

  class SubMatrixEdge final : public Edge {
   public:
    int& row() override { return *row_pos; }
    int& col() override { return *col_pos; }
    double& rate() override { return *rate_pos; }
    std::uint32_t& label() override { return label_value; }
    // Locates the block that `sub_matrix` designates; ends the process with
    // the block-access message when it is not one block of the storage.
    void init(BaseStateLevel* level, SubMatrix* sub_matrix);

    int remaining = 0;
    int* col_pos = nullptr;
    int* row_pos = nullptr;
    double* rate_pos = nullptr;
    std::uint32_t label_value = 0;
    FlatStateLevel* level = nullptr;
    SubMatrix* sub_matrix = nullptr;
  };

  class SubMatrixIterator final : public EdgeBaseIterator {
   public:
    SubMatrixIterator() = default;
    SubMatrixIterator& operator=(const SubMatrixIterator& other) {
      edge = other.edge;
      return *this;
    }
    Iterator& operator++() override {
      ++edge.col_pos;
      ++edge.row_pos;
      ++edge.rate_pos;
      --edge.remaining;
      return *this;
    }
    bool end() override { return edge.remaining == 0; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const SubMatrixIterator&>(other);
    }
    Edge* operator->() override { return &edge; }
    void next(EdgeBuffer& buf) override {
      ++edge.col_pos;
      ++edge.row_pos;
      ++edge.rate_pos;
      buf.end = --edge.remaining == 0;
      if (!buf.end) {
        buf.row = *edge.row_pos;
        buf.col = *edge.col_pos;
        buf.rate = *edge.rate_pos;
      }
    }

    SubMatrixEdge edge;
  };

  // A range of the per-line storage, walked directly; used to build the
  // block storage. Needs ascending minor indices on every line.
  class SubMatrixAux final : public EdgeBaseContainer {
   public:
    void begin(Iterator* it) override;
    void begin(Iterator* it, EdgeBuffer& buf) override;

    int major_begin = 0;
    int major_end = 0;
    int minor_begin = 0;
    int minor_end = 0;
    FlatStateLevel* level = nullptr;
  };

  class SubMatrixAuxEdge final : public Edge {
   public:
    int& row() override { return *minor_pos; }
    int& col() override { return line; }
    double& rate() override { return *rate_pos; }
    std::uint32_t& label() override { return label_value; }
    void init(BaseStateLevel* level, SubMatrixAux* aux);
    void nextEdge();
    // Finds the next line, from `line` on, with entries in the minor range.
    void update_end_flag();

    bool at_end = true;
    int remaining = 0;
    int line = 0;
    int* minor_pos = nullptr;
    double* rate_pos = nullptr;
    std::uint32_t label_value = 0;
    FlatStateLevel* level = nullptr;
    SubMatrixAux* aux = nullptr;
  };

  class SubMatrixAuxIterator final : public EdgeBaseIterator {
   public:
    SubMatrixAuxIterator() = default;
    SubMatrixAuxIterator& operator=(const SubMatrixAuxIterator& other) {
      edge = other.edge;
      return *this;
    }
    Iterator& operator++() override;
    bool end() override { return edge.at_end; }
    Iterator& operator=(const Iterator& other) override {
      return *this = static_cast<const SubMatrixAuxIterator&>(other);
    }
    Edge* operator->() override { return &edge; }
    void next(EdgeBuffer& buf) override;

    SubMatrixAuxEdge edge;
  };

  // ---- the state level ----

  // Loads `base` + ".arm", ".var" and ".pvtype"; a ".det" file, or a
  // failure with the first three files, ends the process with status 1.
  explicit FlatStateLevel(const std::string& base);
  ~FlatStateLevel() override;

  int getNumberOfStates() override { return state_count; }
  int getInitialState() override { return start_state; }
  int getNumberOfPVs() override { return pv_count; }
  const char* getPVName(int pv) override { return pv_names[pv].c_str(); }

  void getAllEdges(EdgeBaseContainer* c) override;
  void allocateAllEdgesContainer(EdgeBaseContainer*& c) override;
  void deallocateAllEdgesContainer(EdgeBaseContainer* c) override;
  void allocateAllEdgesIterator(EdgeBaseIterator*& it) override;
  void deallocateAllEdgesIterator(EdgeBaseIterator* it) override;

  void getRow(int i, EdgeBaseContainer* c) override;
  void allocateRowContainer(EdgeBaseContainer*& c) override;
  void deallocateRowContainer(EdgeBaseContainer* c) override;
  void allocateRowIterator(EdgeBaseIterator*& it) override;
  void deallocateRowIterator(EdgeBaseIterator* it) override;

  void getColumn(int j, EdgeBaseContainer* c) override;
  void allocateColumnContainer(EdgeBaseContainer*& c) override;
  void deallocateColumnContainer(EdgeBaseContainer* c) override;
  void allocateColumnIterator(EdgeBaseIterator*& it) override;
  void deallocateColumnIterator(EdgeBaseIterator* it) override;

  void getRowPartition(Partition& p) override;
  void getColPartition(Partition& p) override;
  void getSubMatrixPartition(Partition& p1, Partition& p2) override;
  void getSubMatrix(int a, int b, int c, int d, EdgeBaseContainer* sm) override;
  void allocateSubMatrixContainer(EdgeBaseContainer*& c) override;
  void deallocateSubMatrixContainer(EdgeBaseContainer* c) override;
  void allocateSubMatrixIterator(EdgeBaseIterator*& it) override;
  void deallocateSubMatrixIterator(EdgeBaseIterator* it) override;

  void getPV(PVBaseContainer* c, int pv) override;
  void allocatePVContainer(PVBaseContainer*& c) override;
  void deallocatePVContainer(PVBaseContainer* c) override;
  void allocatePVIterator(PVBaseIterator*& it) override;
  void deallocatePVIterator(PVBaseIterator* it) override;

  // Rebuilds the per-line arrays for `new_orientation` by reading the
  // ".arm" file again; never holds two copies of the matrix.
  void switch_orientation(TOrientation new_orientation);

  // Replaces the per-line storage by the block storage of the partitions
  // held in major_partition and minor_partition.
  void transformDSForBlockAccess();
  void getSubMatrixAux(int a, int b, int c, int d, EdgeBaseContainer* aux);
  void allocateSubMatrixAuxContainer(EdgeBaseContainer*& c);
  void deallocateSubMatrixAuxContainer(EdgeBaseContainer* c);
  void allocateSubMatrixAuxIterator(EdgeBaseIterator*& it);
  void deallocateSubMatrixAuxIterator(EdgeBaseIterator* it);

  // ---- storage ----

  // rates[i] and minor_index[i] hold the major_size[i] entries of major
  // line i; they point into `line_storage`, which owns the memory.
  std::unique_ptr<double*[]> rates;
  std::unique_ptr<int*[]> minor_index;
  std::unique_ptr<int[]> major_size;
  std::vector<std::unique_ptr<PVPair[]>> pv_values;  // pv_values[j][s]

  // Block storage; empty until transformDSForBlockAccess. Block (f, t) of
  // major block f and minor block t has index t * F + f.
  Partition minor_partition{};
  Partition major_partition{};
  std::unique_ptr<std::unique_ptr<double[]>[]> block_rates;
  std::unique_ptr<std::unique_ptr<int[]>[]> block_cols;
  std::unique_ptr<std::unique_ptr<int[]>[]> block_rows;
  std::unique_ptr<int[]> block_size;

  int state_count = 0;
  int start_state = 0;
  TOrientation orientation = ROW_ORIENTED;
  bool block_access = false;
  int pv_count = 0;
  std::vector<std::string> pv_names;
  std::string base_name;

  LineStorage line_storage;

 private:
  void loadMatrix();
  void loadPVValues();
};

// ---- inline definitions of the per-entry steps ----

inline void FlatStateLevel::OrderlessEdge::findLineFrom(int from) {
  const int* sizes = level->major_size.get();
  for (int l = from; l < line_count; ++l) {
    if (sizes[l] != 0) {
      line = l;
      remaining = sizes[l];
      minor_pos = level->minor_index[l];
      rate_pos = level->rates[l];
      at_end = false;
      return;
    }
  }
  line = line_count;
  remaining = 0;
  at_end = true;
}

inline void FlatStateLevel::row::begin(Iterator* it) {
  static_cast<rowIterator*>(it)->edge.init(level, line);
}

inline void FlatStateLevel::row::begin(Iterator* it, EdgeBuffer& buf) {
  RowOrientedEdge& e = static_cast<rowIterator*>(it)->edge;
  e.init(level, line);
  buf.end = e.remaining == 0;
  if (!buf.end) {
    buf.row = e.line;
    buf.col = *e.minor_pos;
    buf.rate = *e.rate_pos;
  }
}

inline void FlatStateLevel::column::begin(Iterator* it) {
  static_cast<columnIterator*>(it)->edge.init(level, line);
}

inline void FlatStateLevel::column::begin(Iterator* it, EdgeBuffer& buf) {
  ColumnOrientedEdge& e = static_cast<columnIterator*>(it)->edge;
  e.init(level, line);
  buf.end = e.remaining == 0;
  if (!buf.end) {
    buf.row = *e.minor_pos;
    buf.col = e.line;
    buf.rate = *e.rate_pos;
  }
}

inline void FlatStateLevel::allEdges::begin(Iterator* it) {
  static_cast<allEdgesIterator*>(it)->edge.init(level);
}

inline void FlatStateLevel::allEdges::begin(Iterator* it, EdgeBuffer& buf) {
  OrderlessEdge& e = static_cast<allEdgesIterator*>(it)->edge;
  e.init(level);
  buf.end = e.at_end;
  if (!buf.end) {
    buf.row = *e.minor_pos;
    buf.col = e.line;
    buf.rate = *e.rate_pos;
  }
}

inline void FlatStateLevel::RowOrientedEdge::init(BaseStateLevel* base, int i) {
  level = static_cast<FlatStateLevel*>(base);
  line = i;
  minor_pos = level->minor_index[i];
  rate_pos = level->rates[i];
  remaining = level->major_size[i];
}

inline void FlatStateLevel::ColumnOrientedEdge::init(BaseStateLevel* base, int j) {
  level = static_cast<FlatStateLevel*>(base);
  line = j;
  minor_pos = level->minor_index[j];
  rate_pos = level->rates[j];
  remaining = level->major_size[j];
}

inline void FlatStateLevel::OrderlessEdge::setModel(BaseStateLevel* base) {
  level = static_cast<FlatStateLevel*>(base);
  line_count = level->getNumberOfStates();
}

inline void FlatStateLevel::OrderlessEdge::init(BaseStateLevel* base) {
  setModel(base);
  findLineFrom(0);
}

inline void FlatStateLevel::PV::begin(Iterator* it) {
  PVIterator* p = static_cast<PVIterator*>(it);
  p->current = values;
  p->stop = values + level->state_count;
}

inline void FlatStateLevel::PV::begin(Iterator* it, PVBuffer& buf) {
  PVIterator* p = static_cast<PVIterator*>(it);
  values = level->pv_values[pv].get();
  p->current = values;
  p->stop = values + level->state_count;
  buf.end = p->current == p->stop;
  if (!buf.end) {
    buf.first = values[0].first;
    buf.second = values[0].second;
  }
}

inline void FlatStateLevel::PV::operator()(int state, PVBuffer& buf) {
  buf.first = values[state].first;
  buf.second = values[state].second;
}
