// Rebuilding the per-line storage as a grid of blocks, each holding its
// entries in three exact-size arrays. The line storage of a band of major
// lines is released as soon as every block of that band is built, so at most
// one band is held twice.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "statespace/BlockAccessFailure.h"
#include "statespace/FlatStateLevel.h"

namespace {

// The range search needs ascending minor indices on every line. Column lines
// have them by construction; row lines keep the file's order, which may be
// any, so those are put in order here (stably, so repeated minor indices
// keep their order).
void sortLinesByMinorIndex(int line_count, const int* sizes, int** minor_index, double** rates) {
  struct Entry {
    int minor;
    double rate;
  };
  std::vector<Entry> scratch;
  for (int line = 0; line < line_count; ++line) {
    int* minor = minor_index[line];
    const int size = sizes[line];
    if (std::is_sorted(minor, minor + size)) continue;
    double* rate = rates[line];
    scratch.resize(static_cast<std::size_t>(size));
    for (int k = 0; k < size; ++k) scratch[k] = {minor[k], rate[k]};
    std::stable_sort(scratch.begin(), scratch.end(),
                     [](const Entry& a, const Entry& b) { return a.minor < b.minor; });
    for (int k = 0; k < size; ++k) {
      minor[k] = scratch[k].minor;
      rate[k] = scratch[k].rate;
    }
  }
}

// Moves the aux edge from a line it has finished to the next line with
// entries in range.
void toNextLine(FlatStateLevel::SubMatrixAuxEdge& edge) {
  ++edge.line;
  edge.update_end_flag();
}

}  // namespace

void FlatStateLevel::transformDSForBlockAccess() {
  if (block_access) fail_block_rebuild();
  const int F = major_partition.block_count;
  const int T = minor_partition.block_count;
  const int* MB = major_partition.boundaries;
  const int* NB = minor_partition.boundaries;

  sortLinesByMinorIndex(state_count, major_size.get(), minor_index.get(), rates.get());

  const std::size_t blocks = static_cast<std::size_t>(F) * static_cast<std::size_t>(T);
  block_rates = std::make_unique<std::unique_ptr<double[]>[]>(blocks);
  block_cols = std::make_unique<std::unique_ptr<int[]>[]>(blocks);
  block_rows = std::make_unique<std::unique_ptr<int[]>[]>(blocks);
  block_size = std::make_unique<int[]>(blocks);

  SubMatrixAux aux;
  SubMatrixAuxIterator it;
  SubMatrixAuxEdge& edge = it.edge;
  aux.level = this;
  for (int f = 0; f < F; ++f) {
    aux.major_begin = MB[f];
    aux.major_end = MB[f + 1];
    for (int t = 0; t < T; ++t) {
      const std::size_t b = static_cast<std::size_t>(t) * F + f;
      aux.minor_begin = NB[t];
      aux.minor_end = NB[t + 1];

      // Count, line by line, so each array is allocated once at its size.
      std::int64_t count = 0;
      for (aux.begin(&it); !edge.at_end; toNextLine(edge)) count += edge.remaining;
      if (count == 0) continue;  // size 0 and no arrays
      if (count > INT_MAX) throw std::bad_alloc();
      block_size[b] = static_cast<int>(count);
      double* rate_out = (block_rates[b] = std::make_unique_for_overwrite<double[]>(count)).get();
      int* col_out = (block_cols[b] = std::make_unique_for_overwrite<int[]>(count)).get();
      int* row_out = (block_rows[b] = std::make_unique_for_overwrite<int[]>(count)).get();

      // Copy each line's run of entries in range; the major line is the column.
      for (aux.begin(&it); !edge.at_end; toNextLine(edge)) {
        const int run = edge.remaining;
        std::memcpy(rate_out, edge.rate_pos, static_cast<std::size_t>(run) * sizeof(double));
        std::memcpy(row_out, edge.minor_pos, static_cast<std::size_t>(run) * sizeof(int));
        std::fill_n(col_out, run, edge.line);
        rate_out += run;
        row_out += run;
        col_out += run;
      }
    }
    line_storage.releaseLinesBelow(MB[f + 1]);
  }

  line_storage.clear();
  rates.reset();
  minor_index.reset();
  major_size.reset();
  block_access = true;
}
