// Fixtures of the performance-variable tests: an in-memory state level that
// serves only PVs, a concrete solver whose names the tests set, a temporary
// directory, and file helpers.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "report/ReportHelpers.h"
#include "solver/BaseStateLevelSolver.h"
#include "statespace/BaseStateLevel.h"

namespace pvtest {

struct Variable {
  std::string name;
  std::vector<PVPair> pairs;  // one per state
};

// Serves PV values from memory; the matrix operations are never used by the
// code under test. Counts the containers and iterators not yet handed back.
class PVListStateLevel final : public BaseStateLevel {
 public:
  PVListStateLevel(int states, std::vector<Variable> variables)
      : n_(states), variables_(std::move(variables)) {}

  class ListIterator final : public PVBaseIterator {
   public:
    Iterator& operator++() override {
      ++pos;
      return *this;
    }
    bool end() override { return pos == last; }
    Iterator& operator=(const Iterator& other) override {
      const auto& o = static_cast<const ListIterator&>(other);
      pos = o.pos;
      last = o.last;
      return *this;
    }
    PVPair* operator->() override { return pos; }
    PVPair& operator*() override { return *pos; }
    void next(PVBuffer& buf) override {
      ++pos;
      fill(buf);
    }
    void fill(PVBuffer& buf) {
      buf.end = pos == last;
      if (!buf.end) {
        buf.first = pos->first;
        buf.second = pos->second;
      }
    }
    PVPair* pos = nullptr;
    PVPair* last = nullptr;
  };

  class ListContainer final : public PVBaseContainer {
   public:
    void begin(Iterator* it) override {
      auto* li = static_cast<ListIterator*>(it);
      li->pos = pairs->data();
      li->last = pairs->data() + pairs->size();
    }
    void begin(Iterator* it, PVBuffer& buf) override {
      begin(it);
      static_cast<ListIterator*>(it)->fill(buf);
    }
    void operator()(int state, PVBuffer& buf) override {
      buf.first = (*pairs)[state].first;
      buf.second = (*pairs)[state].second;
    }
    std::vector<PVPair>* pairs = nullptr;
  };

  int getNumberOfStates() override { return n_; }
  int getInitialState() override { return 0; }
  int getNumberOfPVs() override { return static_cast<int>(variables_.size()); }
  const char* getPVName(int pv) override { return variables_[pv].name.c_str(); }

  void getPV(PVBaseContainer* c, int pv) override {
    static_cast<ListContainer*>(c)->pairs = &variables_[pv].pairs;
  }
  void allocatePVContainer(PVBaseContainer*& c) override {
    c = new ListContainer;
    ++outstanding;
  }
  void deallocatePVContainer(PVBaseContainer* c) override {
    if (c != nullptr) --outstanding;
    delete c;
  }
  void allocatePVIterator(PVBaseIterator*& it) override {
    it = new ListIterator;
    ++outstanding;
  }
  void deallocatePVIterator(PVBaseIterator* it) override {
    if (it != nullptr) --outstanding;
    delete it;
  }

  void getAllEdges(EdgeBaseContainer*) override {}
  void allocateAllEdgesContainer(EdgeBaseContainer*& c) override { c = nullptr; }
  void deallocateAllEdgesContainer(EdgeBaseContainer*) override {}
  void allocateAllEdgesIterator(EdgeBaseIterator*& it) override { it = nullptr; }
  void deallocateAllEdgesIterator(EdgeBaseIterator*) override {}
  void getRow(int, EdgeBaseContainer*) override {}
  void allocateRowContainer(EdgeBaseContainer*& c) override { c = nullptr; }
  void deallocateRowContainer(EdgeBaseContainer*) override {}
  void allocateRowIterator(EdgeBaseIterator*& it) override { it = nullptr; }
  void deallocateRowIterator(EdgeBaseIterator*) override {}
  void getColumn(int, EdgeBaseContainer*) override {}
  void allocateColumnContainer(EdgeBaseContainer*& c) override { c = nullptr; }
  void deallocateColumnContainer(EdgeBaseContainer*) override {}
  void allocateColumnIterator(EdgeBaseIterator*& it) override { it = nullptr; }
  void deallocateColumnIterator(EdgeBaseIterator*) override {}
  void getRowPartition(Partition&) override {}
  void getColPartition(Partition&) override {}
  void getSubMatrixPartition(Partition&, Partition&) override {}
  void getSubMatrix(int, int, int, int, EdgeBaseContainer*) override {}
  void allocateSubMatrixContainer(EdgeBaseContainer*& c) override { c = nullptr; }
  void deallocateSubMatrixContainer(EdgeBaseContainer*) override {}
  void allocateSubMatrixIterator(EdgeBaseIterator*& it) override { it = nullptr; }
  void deallocateSubMatrixIterator(EdgeBaseIterator*) override {}

  int outstanding = 0;

 private:
  int n_;
  std::vector<Variable> variables_;
};

// A solver with nothing to solve: perfcdb and the plot writers only read its
// names. The results stream is a scratch file closed by the base.
class NamesOnlySolver final : public BaseStateLevelSolver {
 public:
  NamesOnlySolver(BaseStateLevel* level, const char* name, const std::string& directory)
      : BaseStateLevelSolver(level, name, 1, commandLine()) {
    project_name = strDup("Proj");
    study_name = strDup("Study");
    experiment_name = strDup("Exp1");
    solver_path = strDup(directory.c_str());
    output_enabled = true;
    output_file = std::tmpfile();
  }
  bool solve() override { return true; }
  void ShowCmdLineOptions() override {}

 private:
  // The option scan may reorder the words in place, so they must be writable.
  static char** commandLine() {
    static char program[] = "pv_test";
    static char* argv[] = {program, nullptr};
    return argv;
  }
};

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pv_test.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() { std::filesystem::remove_all(path_); }
  // With a trailing slash, as the solver directory is given.
  std::string slash() const { return path_ + "/"; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace pvtest
