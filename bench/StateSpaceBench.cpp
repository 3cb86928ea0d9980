// Loading and switching the generated one-million-state chain, and the
// column and all-entries walks the solvers make over it. Each run reports
// the process's peak resident set next to the matrix's own size (12 bytes
// per entry plus 20 bytes per line) and the PV values (16 bytes per state
// and PV).
#include <sys/resource.h>

#include <cstdio>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/GeneratedChain.h"
#include "statespace/FlatStateLevel.h"

namespace {

GeneratedChain& chain() {
  static GeneratedChain generated;
  return generated;
}

std::unique_ptr<FlatStateLevel> loadQuietly() {
  // The chain is valid; nothing is printed.
  return std::make_unique<FlatStateLevel>(chain().baseName());
}

void reportMemory(benchmark::State& state) {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  const double mib = 1024.0 * 1024.0;
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) * 1024.0 / mib;
  state.counters["matrix_MiB"] =
      (12.0 * static_cast<double>(chain().entries()) + 20.0 * chain().states()) / mib;
  state.counters["pv_values_MiB"] =
      16.0 * GeneratedChain::kPVs * static_cast<double>(chain().states()) / mib;
}

void BM_Load(benchmark::State& state) {
  chain();
  for (auto _ : state) {
    auto level = loadQuietly();
    benchmark::DoNotOptimize(level->rates[0]);
  }
  reportMemory(state);
}

void BM_SwitchToColumns(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto level = loadQuietly();
    BaseStateLevel::EdgeBaseContainer* c = nullptr;
    level->allocateColumnContainer(c);
    state.ResumeTiming();
    level->getColumn(0, c);
    state.PauseTiming();
    level->deallocateColumnContainer(c);
    level.reset();
    state.ResumeTiming();
  }
  reportMemory(state);
}

// One SOR-like pass: every column through the concrete iterator.
void BM_ColumnWalk(benchmark::State& state) {
  auto level = loadQuietly();
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateColumnContainer(c);
  level->allocateColumnIterator(it);
  auto* column = dynamic_cast<FlatStateLevel::column*>(c);
  auto* iterator = dynamic_cast<FlatStateLevel::columnIterator*>(it);
  const int n = level->getNumberOfStates();
  level->getColumn(0, c);
  for (auto _ : state) {
    double sum = 0;
    EdgeBuffer buf;
    for (int j = 0; j < n; ++j) {
      level->getColumn(j, column);
      for (column->begin(iterator, buf); !buf.end; iterator->next(buf)) sum += buf.rate * buf.row;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * chain().entries());
  level->deallocateColumnContainer(c);
  level->deallocateColumnIterator(it);
}

// One Jacobi-like pass over all entries through the concrete iterator.
void BM_AllEntriesWalk(benchmark::State& state) {
  auto level = loadQuietly();
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateAllEdgesContainer(c);
  level->allocateAllEdgesIterator(it);
  auto* all = dynamic_cast<FlatStateLevel::allEdges*>(c);
  auto* iterator = dynamic_cast<FlatStateLevel::allEdgesIterator*>(it);
  level->getAllEdges(c);
  for (auto _ : state) {
    double sum = 0;
    EdgeBuffer buf;
    for (all->begin(iterator, buf); !buf.end; iterator->next(buf)) sum += buf.rate * buf.col;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * chain().entries());
  level->deallocateAllEdgesContainer(c);
  level->deallocateAllEdgesIterator(it);
}

}  // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SwitchToColumns)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ColumnWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllEntriesWalk)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
