// A large, deterministic chain in the flat file format, for benchmarks: about
// one million states and five million entries, every state reachable and
// none absorbing, with ten PVs of small integer values.
#pragma once

#include <string>

class GeneratedChain {
 public:
  static constexpr int kDefaultStates = 1'000'000;
  // Each state has the transition to its successor (i + 1) mod n and this
  // many more to pseudo-random other states.
  static constexpr int kRandomTargets = 4;
  static constexpr int kPVs = 10;
  static constexpr const char* kExperiment = "chain";

  // Writes chain.arm, chain.var and chain.pvtype into a new temporary
  // directory, removed again by the destructor.
  explicit GeneratedChain(int states = kDefaultStates);
  ~GeneratedChain();
  GeneratedChain(const GeneratedChain&) = delete;
  GeneratedChain& operator=(const GeneratedChain&) = delete;

  // Writes the three files of an n-state chain as directory + experiment +
  // suffix; `directory` ends with a slash.
  static void write(const std::string& directory, const std::string& experiment, int states);

  const std::string& directory() const { return dir; }     // ends with '/', the -G value
  const char* experiment() const { return kExperiment; }   // the -E value
  std::string baseName() const { return dir + kExperiment; }
  int states() const { return state_count; }
  long long entries() const { return static_cast<long long>(state_count) * (1 + kRandomTargets); }

 private:
  std::string dir;
  int state_count;
};
