// perfcdb over the ten PVs of the generated one-million-state chain with a
// uniform probability vector, writing its results, CSV and plot files into a
// temporary directory; and the heapsort alone on keys like those PVs have.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/GeneratedChain.h"
#include "pv/DSort.h"
#include "pv/PerfCDB.h"
#include "solver/BaseStateLevelSolver.h"
#include "statespace/FlatStateLevel.h"

namespace {

// Only the names of a solver are read by perfcdb.
class NamesOnlySolver final : public BaseStateLevelSolver {
 public:
  NamesOnlySolver(BaseStateLevel* level, const std::string& directory)
      : BaseStateLevelSolver(level, "sor", 1, commandLine()) {
    project_name = new char[5]{"Proj"};
    study_name = new char[6]{"Study"};
    experiment_name = new char[6]{"chain"};
    solver_path = new char[directory.size() + 1];
    directory.copy(solver_path, directory.size());
    solver_path[directory.size()] = '\0';
    output_enabled = true;
    output_file = std::fopen((directory + "results.txt").c_str(), "w");
    csv_file = std::fopen((directory + "results.csv").c_str(), "w");
  }
  bool solve() override { return true; }
  void ShowCmdLineOptions() override {}

 private:
  static char** commandLine() {
    static char program[] = "pv_bench";
    static char* argv[] = {program, nullptr};
    return argv;
  }
};

void BM_PerfCDB(benchmark::State& state) {
  static GeneratedChain chain;
  static FlatStateLevel level(chain.baseName());
  const int n = level.getNumberOfStates();
  const std::vector<double> uniform(n, 1.0 / n);

  std::string pattern = (std::filesystem::temp_directory_path() / "pv_bench.XXXXXX").string();
  const std::string directory = std::string(mkdtemp(pattern.data())) + "/";
  {
    NamesOnlySolver solver(&level, directory);
    for (auto _ : state) {
      perfcdb(&level, &solver, uniform.data(), solver.output_file, solver.csv_file, 0, -1, -1.0,
              -1.0, 0, false, ALL_REWARDS, "", 0);
    }
  }
  std::filesystem::remove_all(directory);
  state.counters["states"] = n;
  state.counters["pvs"] = level.getNumberOfPVs();
}
BENCHMARK(BM_PerfCDB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DSort(benchmark::State& state) {
  const auto n = static_cast<unsigned long>(state.range(0));
  std::mt19937 random(7);
  std::uniform_int_distribution<int> value(0, 9);
  std::vector<double> keys(n);
  std::vector<double> carried(n, 1.0 / static_cast<double>(n));
  for (auto _ : state) {
    state.PauseTiming();
    for (double& k : keys) k = value(random);
    state.ResumeTiming();
    dsort(n, keys.data(), carried.data());
    benchmark::DoNotOptimize(keys.data());
  }
}
BENCHMARK(BM_DSort)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
