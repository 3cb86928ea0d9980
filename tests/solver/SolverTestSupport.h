// Temporary directories, writable argument vectors and flat state-space
// files for the solver tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "EntryListStateLevel.h"

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvex-solver-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with a trailing slash, as -G and -s want it.
  std::string dir() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// An argument vector whose words the option scanners may reorder.
class Argv {
 public:
  Argv(std::initializer_list<std::string> words) : words_(words) { rebuild(); }
  void add(const std::string& word) {
    words_.push_back(word);
    rebuild();
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  void rebuild() {
    pointers_.clear();
    for (std::string& w : words_) pointers_.push_back(w.data());
    pointers_.push_back(nullptr);
  }
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

// The ".arm" text of a chain given with 0-based entries: rows in order, each
// row's entries in the order listed, rates written so that they read back
// exactly.
inline std::string armText(int n, const std::vector<ChainEntry>& entries) {
  std::ostringstream out;
  out << "1 " << n << "\n";
  for (int r = 0; r < n; ++r) {
    out << r + 1;
    for (const ChainEntry& e : entries) {
      if (e.row != r) continue;
      char rate[32];
      std::snprintf(rate, sizeof rate, "%.17g", e.rate);
      out << ' ' << e.col + 1 << ' ' << rate;
    }
    out << " 0\n";
  }
  return out.str();
}

// Writes `dir`/`experiment`.arm, an empty .var (no PVs) and a matching
// .pvtype.
inline void writeFlatStateSpace(const TempDir& dir, const std::string& experiment, int n,
                                const std::vector<ChainEntry>& entries) {
  writeFile(dir.file(experiment + ".arm"), armText(n, entries));
  writeFile(dir.file(experiment + ".var"), "");
  writeFile(dir.file(experiment + ".pvtype"), "Version:1\nNumPV:0\n");
}
