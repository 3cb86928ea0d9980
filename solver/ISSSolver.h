// The iterative steady-state driver: it owns the loop, the convergence and
// divergence watch, normalisation, timing and the report, and leaves what
// happens inside one sweep to the four method operations of a derived class.
#pragma once

#include "solver/BaseStateLevelSolver.h"
#include "statespace/BaseStateLevel.h"

// Why the iteration ended, as the solver report tells it.
enum class IterationOutcome {
  Converged,       // the largest change fell to the accuracy
  IterationLimit,  // maxiter sweeps and the change still above the accuracy
  Divergent,       // the iterate grew without bound or stopped being finite
};

class ISSSolver : public BaseStateLevelSolver {
 public:
  ISSSolver(BaseStateLevel* level, int argc, char** argv, const char* name, const char* title);
  ~ISSSolver() override;

  bool solve() override;
  void initialize() override;
  void ShowCmdLineOptions() override;

  // The method's operations. Contract for perform_iteration: one sweep that
  // raises max_diff to the largest change of a component and adds x - x for
  // every new component x to non_finite_guard (0 unless some x is not finite).
  virtual void compute_diagonal() = 0;
  virtual void perform_iteration() = 0;
  virtual void initialize_ds() = 0;
  virtual void terminate_ds() = 0;

  void DisplayBanners();
  void output();
  void updatedb();
  double vnorm();
  void cleanup();
  double getSolutionVectorElement(int i);
  void getSolutionVectorAsArray(double*& out);
  void print_states();

  // Allocates the vectors and builds the inverted diagonal from a uniform
  // start; false (nothing inverted) when a state is absorbing.
  bool prepare_iteration();
  // Sweeps until convergence, the iteration limit or a non-finite iterate,
  // then normalises the vector; a vector that cannot be normalised to
  // finite values also leaves non_finite_guard non-zero.
  void iterate();
  // The one place where the end of the iteration gets its meaning.
  IterationOutcome outcome() const;

  double accuracy = 1e-9;
  double weight = 1.0;
  int maxiter = 300000;
  bool complementary_cdf = false;
  char* title = nullptr;
  double* diagonal = nullptr;
  double* solution_vector = nullptr;
  int num_nonzero = 0;
  int iterations = 0;
  double max_diff = 0;
  double divergence_norm = 0;
  bool did_converge = false;
  BaseStateLevel::EdgeBaseIterator* edge_iterator = nullptr;
  BaseStateLevel::EdgeBaseContainer* edge_container = nullptr;
  EdgeBuffer edge_buffer{};
  int num_states = 0;
  double one_minus_weight = 0;
  double non_finite_guard = 0;
};
