// One SOR sweep and one Jacobi sweep of the solvers on the generated
// one-million-state chain, each next to its floor: a plain loop over
// contiguous column-major arrays of the same entries doing the same
// arithmetic in the same order.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/GeneratedChain.h"
#include "solver/JacobiSolver.h"
#include "solver/SORSolver.h"
#include "statespace/FlatStateLevel.h"

namespace {

// The chain, loaded once, and its entries copied into column-major arrays.
struct Workload {
  Workload() : level(chain.baseName()) {
    EdgeBaseContainerHolder holder(level);  // switches the storage to columns
    const int n = level.getNumberOfStates();
    col_start.assign(n + 1, 0);
    for (int c = 0; c < n; ++c) col_start[c + 1] = col_start[c] + level.major_size[c];
    row.resize(col_start[n]);
    rate.resize(col_start[n]);
    for (int c = 0; c < n; ++c) {
      for (int k = 0; k < level.major_size[c]; ++k) {
        row[col_start[c] + k] = level.minor_index[c][k];
        rate[col_start[c] + k] = level.rates[c][k];
      }
    }
  }

  struct EdgeBaseContainerHolder {
    explicit EdgeBaseContainerHolder(FlatStateLevel& level) : level(level) {
      level.allocateColumnContainer(container);
      level.getColumn(0, container);
    }
    ~EdgeBaseContainerHolder() { level.deallocateColumnContainer(container); }
    FlatStateLevel& level;
    BaseStateLevel::EdgeBaseContainer* container = nullptr;
  };

  GeneratedChain chain;
  FlatStateLevel level;
  std::vector<int> col_start;
  std::vector<int> row;
  std::vector<double> rate;
};

Workload& workload() {
  static Workload w;
  return w;
}

// A solver ready to sweep: options read, files open, diagonal inverted,
// vector uniform.
template <class Solver>
class ReadySolver {
 public:
  explicit ReadySolver(Workload& w) : out_dir(w.chain.directory() + "bench-out/") {
    std::filesystem::create_directories(out_dir);
    words = {"bench", "-P", "bench", "-S", "bench", "-E", w.chain.experiment(), "-G",
             w.chain.directory(), "-s", out_dir, "-o", out_dir + "results.txt"};
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    solver = std::make_unique<Solver>(&w.level, static_cast<int>(words.size()), argv.data());
    solver->initialize();
    solver->initialize_ds();
    ready = solver->prepare_iteration();
  }
  ~ReadySolver() { solver->cleanup(); }

  std::string out_dir;
  std::vector<std::string> words;
  std::vector<char*> argv;
  std::unique_ptr<Solver> solver;
  bool ready = false;
};

struct SweepResult {
  double max_diff = 0;
  double guard = 0;
};

SweepResult sorFloorSweep(const Workload& w, double* x, const double* d, double weight,
                          double one_minus_weight) {
  const int n = static_cast<int>(w.col_start.size()) - 1;
  const int* const start = w.col_start.data();
  const int* const rows = w.row.data();
  const double* const rates = w.rate.data();
  SweepResult r;
  for (int i = 0; i < n; ++i) {
    double sum = 0;
    for (int k = start[i]; k < start[i + 1]; ++k) {
      if (rows[k] != i) sum = rates[k] * x[rows[k]] + sum;
    }
    const double old = x[i];
    const double value = (-weight * sum) * d[i] + one_minus_weight * old;
    x[i] = value;
    r.guard += value - value;
    const double change = std::fabs(value - old);
    if (change > r.max_diff) r.max_diff = change;
  }
  return r;
}

SweepResult jacobiFloorSweep(const Workload& w, double* x, double* acc, const double* d,
                             double weight, double one_minus_weight) {
  const int n = static_cast<int>(w.col_start.size()) - 1;
  const int* const start = w.col_start.data();
  const int* const rows = w.row.data();
  const double* const rates = w.rate.data();
  for (int c = 0; c < n; ++c) {
    for (int k = start[c]; k < start[c + 1]; ++k) {
      if (rows[k] != c) acc[c] += rates[k] * x[rows[k]];
    }
  }
  SweepResult r;
  for (int i = 0; i < n; ++i) {
    const double old = x[i];
    const double value = (-weight * acc[i]) * d[i] + one_minus_weight * old;
    x[i] = value;
    acc[i] = 0;
    r.guard += value - value;
    const double change = std::fabs(value - old);
    if (change > r.max_diff) r.max_diff = change;
  }
  return r;
}

template <class Solver>
void solverSweep(benchmark::State& state) {
  Workload& w = workload();
  ReadySolver<Solver> ready(w);
  if (!ready.ready) {
    state.SkipWithError("the generated chain has an absorbing state");
    return;
  }
  ISSSolver& solver = *ready.solver;
  for (auto _ : state) {
    solver.max_diff = 0;
    solver.non_finite_guard = 0;
    solver.perform_iteration();
    benchmark::DoNotOptimize(solver.max_diff);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(w.row.size()));
}

// The floor starts from the solver's own diagonal and vector, and is checked
// once to give the solver's sweep bit for bit.
template <class Solver>
void floorSweep(benchmark::State& state) {
  Workload& w = workload();
  ReadySolver<Solver> ready(w);
  if (!ready.ready) {
    state.SkipWithError("the generated chain has an absorbing state");
    return;
  }
  ISSSolver& solver = *ready.solver;
  const int n = solver.num_states;
  std::vector<double> x(solver.solution_vector, solver.solution_vector + n);
  std::vector<double> acc(n, 0.0);
  const double* d = solver.diagonal;
  const bool jacobi = std::is_same_v<Solver, JacobiSolver>;
  auto sweep = [&] {
    return jacobi ? jacobiFloorSweep(w, x.data(), acc.data(), d, solver.weight,
                                     solver.one_minus_weight)
                  : sorFloorSweep(w, x.data(), d, solver.weight, solver.one_minus_weight);
  };

  solver.max_diff = 0;
  solver.perform_iteration();
  const SweepResult first = sweep();
  for (int i = 0; i < n; ++i) {
    if (x[i] != solver.solution_vector[i] || first.max_diff != solver.max_diff) {
      state.SkipWithError("the floor loop does not reproduce the solver's sweep");
      return;
    }
  }

  for (auto _ : state) {
    SweepResult r = sweep();
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(w.row.size()));
}

BENCHMARK(solverSweep<SORSolver>)->Name("SorSweep/solver")->Unit(benchmark::kMillisecond);
BENCHMARK(floorSweep<SORSolver>)->Name("SorSweep/floor")->Unit(benchmark::kMillisecond);
BENCHMARK(solverSweep<JacobiSolver>)->Name("JacobiSweep/solver")->Unit(benchmark::kMillisecond);
BENCHMARK(floorSweep<JacobiSolver>)->Name("JacobiSweep/floor")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
