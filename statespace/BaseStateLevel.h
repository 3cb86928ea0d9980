// The abstract view of a continuous-time Markov chain through which solvers
// and the performance-variable evaluation read it. Readers never see the
// storage: they ask the state level for a container and an iterator, point the
// container at a row, a column, all entries, a block or one PV, and walk it.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <vector>

// What an edge traversal fills: one matrix entry (from-state `row`, to-state
// `col`) or `end` once there is none; the other fields then keep their values.
struct EdgeBuffer {
  int row;
  int col;
  double rate;
  std::uint32_t label;  // never filled, never read
  bool end;
};

// What a PV traversal fills: the two reward components of the current state.
struct PVBuffer {
  double first;
  double second;
  bool end;
};

// The two reward components of one PV in one state; its value is first + second.
struct PVPair {
  double first;
  double second;
};

// A division of the index range 0..n-1 into consecutive blocks.
struct Partition {
  int reserved1;         // copied along, never interpreted
  int reserved2;         // copied along, never interpreted
  int requested_blocks;  // input, at least 1
  int* boundaries;       // output: block_count + 1 ascending values, 0 first, n last; owned by the caller
  int block_count;       // output
};

// Thrown by a state level that refuses a solver; main turns it into its message.
class AccessException {};

// Accessor of the current matrix entry. Edges live inside iterators and are
// never deleted through this type, hence no virtual destructor.
class Edge {
 public:
  virtual int& row() = 0;
  virtual int& col() = 0;
  virtual double& rate() = 0;
  virtual std::uint32_t& label() = 0;

 protected:
  Edge() = default;
  Edge(const Edge&) = default;
  Edge& operator=(const Edge&) = default;
  ~Edge() = default;
};

class BaseStateLevel {
 public:
  class Iterator {
   public:
    virtual ~Iterator() = default;
    virtual Iterator& operator++() = 0;
    virtual bool end() = 0;
    // Continue from the position of `other`, an iterator of the same kind.
    virtual Iterator& operator=(const Iterator& other) = 0;
  };

  class Container {
   public:
    virtual ~Container() = default;
    virtual void begin(Iterator* it) = 0;
  };

  class EdgeBaseContainer : public Container {
   public:
    void begin(Iterator*) override {}
    virtual void begin(Iterator* it, EdgeBuffer& buf) = 0;
  };

  class EdgeBaseIterator : public Iterator {
   public:
    virtual Edge* operator->() = 0;
    // Move by one entry, then fill `buf` or set its `end`.
    virtual void next(EdgeBuffer& buf) = 0;
  };

  class PVBaseContainer : public Container {
   public:
    void begin(Iterator* it) override = 0;
    virtual void begin(Iterator* it, PVBuffer& buf) = 0;
    // Fill `first` and `second` with the pair of `state`; `end` is left alone.
    virtual void operator()(int state, PVBuffer& buf) = 0;
  };

  class PVBaseIterator : public Iterator {
   public:
    virtual PVPair* operator->() = 0;
    virtual PVPair& operator*() = 0;
    virtual void next(PVBuffer& buf) = 0;
  };

  BaseStateLevel();
  BaseStateLevel(const BaseStateLevel&) = delete;
  BaseStateLevel& operator=(const BaseStateLevel&) = delete;
  virtual ~BaseStateLevel();

  virtual int getNumberOfStates() = 0;
  virtual int getInitialState() = 0;
  virtual int getNumberOfPVs() = 0;
  virtual const char* getPVName(int pv) = 0;

  virtual void getAllEdges(EdgeBaseContainer* c) = 0;
  virtual void allocateAllEdgesContainer(EdgeBaseContainer*& c) = 0;
  virtual void deallocateAllEdgesContainer(EdgeBaseContainer* c) = 0;
  virtual void allocateAllEdgesIterator(EdgeBaseIterator*& it) = 0;
  virtual void deallocateAllEdgesIterator(EdgeBaseIterator* it) = 0;

  virtual void getRow(int i, EdgeBaseContainer* c) = 0;
  virtual void allocateRowContainer(EdgeBaseContainer*& c) = 0;
  virtual void deallocateRowContainer(EdgeBaseContainer* c) = 0;
  virtual void allocateRowIterator(EdgeBaseIterator*& it) = 0;
  virtual void deallocateRowIterator(EdgeBaseIterator* it) = 0;

  virtual void getColumn(int j, EdgeBaseContainer* c) = 0;
  virtual void allocateColumnContainer(EdgeBaseContainer*& c) = 0;
  virtual void deallocateColumnContainer(EdgeBaseContainer* c) = 0;
  virtual void allocateColumnIterator(EdgeBaseIterator*& it) = 0;
  virtual void deallocateColumnIterator(EdgeBaseIterator* it) = 0;

  virtual void getRowPartition(Partition& p) = 0;
  virtual void getColPartition(Partition& p) = 0;
  virtual void getSubMatrixPartition(Partition& p1, Partition& p2) = 0;
  virtual void getSubMatrix(int a, int b, int c, int d, EdgeBaseContainer* sm) = 0;
  virtual void allocateSubMatrixContainer(EdgeBaseContainer*& c) = 0;
  virtual void deallocateSubMatrixContainer(EdgeBaseContainer* c) = 0;
  virtual void allocateSubMatrixIterator(EdgeBaseIterator*& it) = 0;
  virtual void deallocateSubMatrixIterator(EdgeBaseIterator* it) = 0;

  virtual void getPV(PVBaseContainer* c, int pv) = 0;
  virtual void allocatePVContainer(PVBaseContainer*& c) = 0;
  virtual void deallocatePVContainer(PVBaseContainer* c) = 0;
  virtual void allocatePVIterator(PVBaseIterator*& it) = 0;
  virtual void deallocatePVIterator(PVBaseIterator* it) = 0;

  // Builds the flat state level named by -G and -E; null when both are empty.
  static BaseStateLevel* createStateLevelObject(int argc, char** argv);

  // The PV type file: type codes and time points of every PV.
  bool readPVTypeFile(const char* fileName);
  static bool readKeyValue(std::ifstream& in, const char* key, char* line, char* value);
  void setTimePoints(int pv, int count, double* start, double* stop);
  void setType(int pv, int type);

  // Indexed by PV number. num_times, start_times and stop_times always have
  // the same length; types grows on its own. Entries may be null.
  std::vector<int> types;
  std::vector<int> num_times;
  std::vector<std::unique_ptr<double[]>> start_times;
  std::vector<std::unique_ptr<double[]>> stop_times;
};
