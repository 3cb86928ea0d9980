// Weighted Jacobi: every new component comes from the previous sweep's
// vector, so a sweep first accumulates all off-diagonal products in one pass
// over all entries and only then updates the vector.
#pragma once

#include "solver/ISSSolver.h"

class JacobiSolver final : public ISSSolver {
 public:
  JacobiSolver(BaseStateLevel* level, int argc, char** argv);
  ~JacobiSolver() override;

  void compute_diagonal() override;
  void perform_iteration() override;
  void initialize_ds() override;
  void terminate_ds() override;

  // Entry i collects the sum over column i of rate * x[row] during a sweep;
  // all zero between sweeps.
  double* accumulator = nullptr;

 private:
  // The container and iterator are the flat state level's own classes, whose
  // calls can be inlined into the sweep.
  bool flat_traversal = false;
};
