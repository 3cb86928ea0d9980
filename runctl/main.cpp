// Entry point: build the state level from the command line, let the chosen
// solver open its files, solve, and tear everything down in order.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <unistd.h>

#include "solver/BaseStateLevelSolver.h"
#include "statespace/BaseStateLevel.h"

int main(int argc, char** argv) {
  bool produced_results = true;
  try {
    BaseStateLevel* level = BaseStateLevel::createStateLevelObject(argc, argv);
    optind = 0;
    BaseStateLevelSolver* solver = BaseStateLevelSolver::createStateLevelSolver(level, argc, argv);
    solver->initialize();
    if (level != nullptr) {
      produced_results = solver->solve();
      delete solver;
      delete level;
    }
  } catch (const std::bad_alloc&) {
    fputs("The solver's memory requirement is more than the available RAM.\n", stderr);
    fputs("Either reduce the size of the state space or install more RAM.\n", stderr);
    exit(1);
  } catch (const AccessException&) {
    fputs("This solver cannot be used along with the specified state space.\n", stderr);
    exit(1);
  }
  return produced_results ? 0 : 1;
}
