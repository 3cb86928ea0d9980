#include "solver/JacobiSolver.h"

#include <cmath>

#include "statespace/FlatStateLevel.h"

namespace {

// Adds rate * x[row] to accumulator[col] for every off-diagonal entry, in one
// pass over all entries. Instantiated for the flat state level's own (final)
// classes, where the per-entry step inlines, and for the abstract ones; the
// arithmetic and its order are the same in both.
template <class Container, class Iterator>
void accumulateProducts(Container* container, Iterator* iterator, const double* x,
                        double* accumulator, EdgeBuffer& edge_buffer) {
  EdgeBuffer buf = edge_buffer;
  container->begin(iterator, buf);
  while (!buf.end) {
    if (buf.row != buf.col) accumulator[buf.col] += buf.rate * x[buf.row];
    iterator->next(buf);
  }
  edge_buffer = buf;
}

}  // namespace

JacobiSolver::JacobiSolver(BaseStateLevel* level, int argc, char** argv)
    : ISSSolver(level, argc, argv, "jacobi", "ITERATIVE JACOBI STEADY STATE SOLVER") {}

JacobiSolver::~JacobiSolver() { delete[] accumulator; }

void JacobiSolver::initialize_ds() {
  state_level->allocateAllEdgesContainer(edge_container);
  state_level->allocateAllEdgesIterator(edge_iterator);
  state_level->getAllEdges(edge_container);
  flat_traversal = dynamic_cast<FlatStateLevel::allEdges*>(edge_container) != nullptr &&
                   dynamic_cast<FlatStateLevel::allEdgesIterator*>(edge_iterator) != nullptr;
  delete[] accumulator;
  accumulator = nullptr;
  accumulator = new double[num_states]();
}

void JacobiSolver::terminate_ds() {
  state_level->deallocateAllEdgesContainer(edge_container);
  state_level->deallocateAllEdgesIterator(edge_iterator);
  edge_container = nullptr;
  edge_iterator = nullptr;
  flat_traversal = false;
  delete[] accumulator;
  accumulator = nullptr;
}

void JacobiSolver::compute_diagonal() {
  num_nonzero = num_states;
  edge_container->begin(edge_iterator, edge_buffer);
  while (!edge_buffer.end) {
    if (edge_buffer.row != edge_buffer.col) {
      diagonal[edge_buffer.row] -= edge_buffer.rate;
      ++num_nonzero;
    }
    edge_iterator->next(edge_buffer);
  }
}

void JacobiSolver::perform_iteration() {
  const int n = num_states;
  double* const x = solution_vector;
  double* const acc = accumulator;
  if (flat_traversal) {
    accumulateProducts(static_cast<FlatStateLevel::allEdges*>(edge_container),
                       static_cast<FlatStateLevel::allEdgesIterator*>(edge_iterator), x, acc,
                       edge_buffer);
  } else {
    accumulateProducts(edge_container, edge_iterator, x, acc, edge_buffer);
  }
  const double w = weight;
  const double one_minus_w = one_minus_weight;
  const double* const d = diagonal;
  double max_change = max_diff;
  double guard = non_finite_guard;
  for (int i = 0; i < n; ++i) {
    const double old = x[i];
    const double value = (-w * acc[i]) * d[i] + one_minus_w * old;
    x[i] = value;
    acc[i] = 0;
    guard += value - value;  // NaN once any value is not finite
    const double change = std::fabs(value - old);
    if (change > max_change) max_change = change;
  }
  max_diff = max_change;
  non_finite_guard = guard;
}
