// Rebuilding the generated one-million-state chain, in column storage, as
// grids of blocks, and walking every block once. The build reports the
// resident set before it, its peak during the build (the kernel's high-water
// mark is reset just before), and the matrix's own size in both forms: the
// line storage (12 bytes per entry, 20 per line) and the block storage
// (16 bytes per entry).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/GeneratedChain.h"
#include "statespace/FlatStateLevel.h"

namespace {

GeneratedChain& chain() {
  static GeneratedChain generated;
  return generated;
}

constexpr double kMiB = 1024.0 * 1024.0;

// A field of /proc/self/status in MiB, or -1 when it cannot be read.
double statusMiB(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  double kib = -1;
  const std::size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
      kib = std::strtod(line + length + 1, nullptr);
      break;
    }
  }
  std::fclose(status);
  return kib < 0 ? -1 : kib * 1024.0 / kMiB;
}

// Starts a new high-water mark of the resident set at its present size.
bool resetPeak() {
  std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
  if (refs == nullptr) return false;
  const bool written = std::fputs("5", refs) >= 0;
  return std::fclose(refs) == 0 && written;
}

std::unique_ptr<FlatStateLevel> loadInColumns() {
  auto level = std::make_unique<FlatStateLevel>(chain().baseName());
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  level->allocateAllEdgesContainer(c);
  level->getAllEdges(c);
  level->deallocateAllEdgesContainer(c);
  return level;
}

// Arguments: major blocks, minor blocks.
void BM_BuildBlocks(benchmark::State& state) {
  const int major_blocks = static_cast<int>(state.range(0));
  const int minor_blocks = static_cast<int>(state.range(1));
  double before = 0;
  double peak = 0;
  double after = 0;
  bool peak_known = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto level = loadInColumns();
    Partition p1{0, 0, major_blocks, nullptr, 0};
    Partition p2{0, 0, minor_blocks, nullptr, 0};
    before = statusMiB("VmRSS");
    peak_known = resetPeak() && peak_known;
    state.ResumeTiming();

    level->getSubMatrixPartition(p1, p2);

    state.PauseTiming();
    peak = statusMiB("VmHWM");
    after = statusMiB("VmRSS");
    delete[] p1.boundaries;
    delete[] p2.boundaries;
    level.reset();
    state.ResumeTiming();
  }
  const double entries = static_cast<double>(chain().entries());
  state.counters["rss_before_MiB"] = before;
  state.counters["build_peak_MiB"] = peak_known ? peak : -1;
  state.counters["rss_after_MiB"] = after;
  state.counters["lines_MiB"] = (12.0 * entries + 20.0 * chain().states()) / kMiB;
  state.counters["blocks_MiB"] = 16.0 * entries / kMiB;
  state.SetItemsProcessed(state.iterations() * chain().entries());
}

// Every block of the grid walked once through the concrete iterator.
void BM_WalkBlocks(benchmark::State& state) {
  const int major_blocks = static_cast<int>(state.range(0));
  const int minor_blocks = static_cast<int>(state.range(1));
  auto level = loadInColumns();
  Partition p1{0, 0, major_blocks, nullptr, 0};
  Partition p2{0, 0, minor_blocks, nullptr, 0};
  level->getSubMatrixPartition(p1, p2);
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateSubMatrixContainer(c);
  level->allocateSubMatrixIterator(it);
  auto* block = dynamic_cast<FlatStateLevel::SubMatrix*>(c);
  auto* iterator = dynamic_cast<FlatStateLevel::SubMatrixIterator*>(it);
  for (auto _ : state) {
    double sum = 0;
    EdgeBuffer buf;
    for (int f = 0; f < major_blocks; ++f) {
      for (int t = 0; t < minor_blocks; ++t) {
        level->getSubMatrix(p1.boundaries[f], p1.boundaries[f + 1], p2.boundaries[t],
                            p2.boundaries[t + 1], block);
        for (block->begin(iterator, buf); !buf.end; iterator->next(buf)) sum += buf.rate * buf.row;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * chain().entries());
  level->deallocateSubMatrixContainer(c);
  level->deallocateSubMatrixIterator(it);
  delete[] p1.boundaries;
  delete[] p2.boundaries;
}

}  // namespace

BENCHMARK(BM_BuildBlocks)
    ->Args({1, 1})
    ->Args({10, 10})
    ->Args({100, 100})
    ->Args({1000, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_WalkBlocks)->Args({10, 10})->Args({100, 100})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
