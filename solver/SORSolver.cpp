#include "solver/SORSolver.h"

#include <cmath>

#include "statespace/FlatStateLevel.h"

namespace {

// One sweep, states in increasing order, each new value written at once.
// Instantiated for the flat state level's own (final) classes, where the
// per-entry step inlines, and for the abstract ones; the arithmetic and its
// order are the same in both.
template <class Container, class Iterator>
void sorSweep(BaseStateLevel* level, Container* container, Iterator* iterator, ISSSolver& solver) {
  const int n = solver.num_states;
  const double weight = solver.weight;
  const double one_minus_weight = solver.one_minus_weight;
  double* const x = solver.solution_vector;
  const double* const d = solver.diagonal;
  double max_diff = solver.max_diff;
  double guard = solver.non_finite_guard;
  EdgeBuffer buf = solver.edge_buffer;
  for (int i = 0; i < n; ++i) {
    level->getColumn(i, container);
    container->begin(iterator, buf);
    double sum = 0;
    while (!buf.end) {
      if (buf.row != buf.col) sum = buf.rate * x[buf.row] + sum;
      iterator->next(buf);
    }
    const double old = x[i];
    const double value = (-weight * sum) * d[i] + one_minus_weight * old;
    x[i] = value;
    guard += value - value;  // NaN once any value is not finite
    const double change = std::fabs(value - old);
    if (change > max_diff) max_diff = change;
  }
  solver.max_diff = max_diff;
  solver.non_finite_guard = guard;
  solver.edge_buffer = buf;
}

}  // namespace

SORSolver::SORSolver(BaseStateLevel* level, int argc, char** argv)
    : ISSSolver(level, argc, argv, "sor", "ITERATIVE SOR STEADY STATE SOLVER") {}

void SORSolver::initialize_ds() {
  state_level->allocateColumnContainer(edge_container);
  state_level->allocateColumnIterator(edge_iterator);
  flat_traversal = dynamic_cast<FlatStateLevel::column*>(edge_container) != nullptr &&
                   dynamic_cast<FlatStateLevel::columnIterator*>(edge_iterator) != nullptr;
}

void SORSolver::terminate_ds() {
  state_level->deallocateColumnContainer(edge_container);
  state_level->deallocateColumnIterator(edge_iterator);
  edge_container = nullptr;
  edge_iterator = nullptr;
  flat_traversal = false;
}

void SORSolver::compute_diagonal() {
  num_nonzero = num_states;
  for (int i = 0; i < num_states; ++i) {
    state_level->getColumn(i, edge_container);
    edge_container->begin(edge_iterator, edge_buffer);
    while (!edge_buffer.end) {
      if (edge_buffer.row != edge_buffer.col) {
        diagonal[edge_buffer.row] -= edge_buffer.rate;
        ++num_nonzero;
      }
      edge_iterator->next(edge_buffer);
    }
  }
}

void SORSolver::perform_iteration() {
  if (flat_traversal) {
    sorSweep(state_level, static_cast<FlatStateLevel::column*>(edge_container),
             static_cast<FlatStateLevel::columnIterator*>(edge_iterator), *this);
  } else {
    sorSweep(state_level, edge_container, edge_iterator, *this);
  }
}
