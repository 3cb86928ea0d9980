// Writes the generated benchmark chain to a directory, so that whole runs of
// the program can be timed on it:  write_chain DIR/ [STATES]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/GeneratedChain.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s DIRECTORY/ [STATES]\n", argv[0]);
    return 1;
  }
  std::string directory = argv[1];
  if (directory.empty() || directory.back() != '/') directory += '/';
  const long states = argc == 3 ? std::strtol(argv[2], nullptr, 10) : GeneratedChain::kDefaultStates;
  if (states < 2 || states > 100'000'000) {
    std::fprintf(stderr, "%s: the number of states must lie between 2 and 100000000\n", argv[0]);
    return 1;
  }
  GeneratedChain::write(directory, GeneratedChain::kExperiment, static_cast<int>(states));
  std::printf("wrote %s%s.arm, .var and .pvtype (%ld states)\n", directory.c_str(),
              GeneratedChain::kExperiment, states);
  return 0;
}
