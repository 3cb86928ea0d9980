#include <unistd.h>

#include "runctl/ArgvOrder.h"
#include "runctl/TarvexGetopt.h"
#include "solver/BaseStateLevelSolver.h"
#include "solver/JacobiSolver.h"
#include "solver/SORSolver.h"

BaseStateLevelSolver* BaseStateLevelSolver::createStateLevelSolver(BaseStateLevel* level, int argc,
                                                                   char** argv) {
  bool jacobi = false;
  {
    ArgvOrder order(argc, argv);
    opterr = 0;
    optind = 0;
    int letter;
    while ((letter = tarvex_getopt(argc, argv, "j")) != -1) {
      if (letter == 'j') {
        jacobi = true;
        break;
      }
    }
    // Each solver constructor scans the whole command line again.
    order.Restore();
  }
  if (jacobi) return new JacobiSolver(level, argc, argv);
  return new SORSolver(level, argc, argv);
}
