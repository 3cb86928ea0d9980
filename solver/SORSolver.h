// Successive over-relaxation (Gauss-Seidel with weight 1): states are updated
// in increasing order, in place, each from the newest values of the others.
// The matrix is read one column at a time.
#pragma once

#include "solver/ISSSolver.h"

class SORSolver final : public ISSSolver {
 public:
  SORSolver(BaseStateLevel* level, int argc, char** argv);

  void compute_diagonal() override;
  void perform_iteration() override;
  void initialize_ds() override;
  void terminate_ds() override;

 private:
  // The container and iterator are the flat state level's own classes, whose
  // calls can be inlined into the sweep.
  bool flat_traversal = false;
};
